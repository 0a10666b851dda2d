# Signs a Windows executable or installer package with osslsigncode: an
# Authenticode signature with SHA-256, from a code-signing certificate (PEM)
# and its private key, a PEM file or an object on a PKCS#11 token, with an
# RFC 3161 timestamp when a time-stamp server is given. Run in script mode:
#   cmake -D SETTINGS=signing.cmake -D INPUT=in -D OUTPUT=out -P sign-file.cmake
# SETTINGS sets the VELTRIN_SIGNING_* variables of VeltrinPackaging.cmake
# (VeltrinSigningSettings.cmake writes it). OUTPUT must differ from INPUT.
foreach(variable SETTINGS INPUT OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "sign-file.cmake: ${variable} is not given")
  endif()
endforeach()
include("${SETTINGS}")
find_program(OSSLSIGNCODE osslsigncode REQUIRED)

# Each option stays one argument, quoted: a pkcs11: URI holds semicolons.
if(VELTRIN_SIGNING_PKCS11_KEY)
  set(key "${VELTRIN_SIGNING_PKCS11_KEY}")
  set(module_option -pkcs11module "${VELTRIN_SIGNING_PKCS11_MODULE}")
else()
  set(key "${VELTRIN_SIGNING_KEY}")
  set(module_option "")
endif()
set(pin_option "")
if(VELTRIN_SIGNING_PIN_FILE)
  # From the file, so that the PIN shows neither in the build's command lines
  # nor in the process list.
  set(pin_option -readpass "${VELTRIN_SIGNING_PIN_FILE}")
endif()
set(timestamp_option "")
if(VELTRIN_SIGNING_TIMESTAMP_URL)
  set(timestamp_option -ts "${VELTRIN_SIGNING_TIMESTAMP_URL}")
endif()

file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND "${OSSLSIGNCODE}" sign -certs "${VELTRIN_SIGNING_CERT}" ${module_option} -key "${key}" ${pin_option}
          -h sha256 -n VeltrinLighting ${timestamp_option} -in "${INPUT}" -out "${OUTPUT}"
  OUTPUT_VARIABLE output ERROR_VARIABLE output
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "signing ${INPUT} failed:\n${output}")
endif()
