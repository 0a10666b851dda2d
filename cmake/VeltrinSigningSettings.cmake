# Checks the VELTRIN_SIGNING_* cache variables (see VeltrinPackaging.cmake)
# and writes them to signing.cmake in the build folder, which sign-file.cmake
# reads. A file rather than -D options on the command line: a pkcs11: URI
# holds semicolons, which a CMake command line would split, and a changed
# setting then re-signs, as the file is rewritten only when it changes.
#
# Sets VELTRIN_SIGNING_SETTINGS (that file) and VELTRIN_SIGNING_INPUTS (what
# the signing commands depend on).

if(NOT VELTRIN_SIGNING_CERT)
  foreach(variable KEY PKCS11_KEY PKCS11_MODULE PIN_FILE TIMESTAMP_URL)
    if(VELTRIN_SIGNING_${variable})
      message(FATAL_ERROR "VELTRIN_SIGNING_${variable} is set, VELTRIN_SIGNING_CERT is not")
    endif()
  endforeach()
  return()
endif()

if(VELTRIN_SIGNING_KEY AND VELTRIN_SIGNING_PKCS11_KEY)
  message(FATAL_ERROR "Signing takes one key: VELTRIN_SIGNING_KEY (PEM) or VELTRIN_SIGNING_PKCS11_KEY (token), not both")
elseif(VELTRIN_SIGNING_KEY)
  set(VELTRIN_SIGNING_INPUTS "${VELTRIN_SIGNING_CERT}" "${VELTRIN_SIGNING_KEY}")
elseif(VELTRIN_SIGNING_PKCS11_KEY)
  if(NOT VELTRIN_SIGNING_PKCS11_KEY MATCHES "^pkcs11:")
    message(FATAL_ERROR "VELTRIN_SIGNING_PKCS11_KEY is no pkcs11: URI: ${VELTRIN_SIGNING_PKCS11_KEY}")
  endif()
  if(NOT VELTRIN_SIGNING_PKCS11_MODULE)
    message(FATAL_ERROR "VELTRIN_SIGNING_PKCS11_KEY needs the token's module in VELTRIN_SIGNING_PKCS11_MODULE")
  endif()
  set(VELTRIN_SIGNING_INPUTS "${VELTRIN_SIGNING_CERT}")
else()
  message(FATAL_ERROR "Signing needs the certificate's key: VELTRIN_SIGNING_KEY or VELTRIN_SIGNING_PKCS11_KEY")
endif()

set(VELTRIN_SIGNING_SETTINGS "${PROJECT_BINARY_DIR}/signing.cmake")
set(settings "")
foreach(variable CERT KEY PKCS11_KEY PKCS11_MODULE PIN_FILE TIMESTAMP_URL)
  string(APPEND settings "set(VELTRIN_SIGNING_${variable} [==[${VELTRIN_SIGNING_${variable}}]==])\n")
endforeach()
file(WRITE "${VELTRIN_SIGNING_SETTINGS}.new" "${settings}")
file(COPY_FILE "${VELTRIN_SIGNING_SETTINGS}.new" "${VELTRIN_SIGNING_SETTINGS}" ONLY_IF_DIFFERENT)
file(REMOVE "${VELTRIN_SIGNING_SETTINGS}.new")
list(APPEND VELTRIN_SIGNING_INPUTS "${VELTRIN_SIGNING_SETTINGS}")
