# Signs a Windows executable or installer package with osslsigncode: an
# Authenticode signature with SHA-256, from a code-signing certificate and its
# private key in PEM files. Run in script mode:
#   cmake -D CERT=cert.pem -D KEY=key.pem -D INPUT=in -D OUTPUT=out -P sign-file.cmake
# OUTPUT must differ from INPUT.
foreach(variable CERT KEY INPUT OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "sign-file.cmake: ${variable} is not given")
  endif()
endforeach()
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND "${OSSLSIGNCODE}" sign -certs "${CERT}" -key "${KEY}" -h sha256 -n VeltrinLighting
          -in "${INPUT}" -out "${OUTPUT}"
  OUTPUT_VARIABLE output ERROR_VARIABLE output
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "signing ${INPUT} failed:\n${output}")
endif()
