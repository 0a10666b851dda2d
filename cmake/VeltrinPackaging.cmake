# The release: the zip and the Windows Installer package, each with a SHA-256
# checksum file beside it.
#
#   cmake --build --preset windows --target msi      VeltrinLighting-<version>-win64.msi
#   cmake --build --preset windows --target release  the zip and the msi, and
#                                                    FILE.sha256 for each
#
# The release target also writes VeltrinLighting-<version>-win64.msi.json
# beside the msi, and with the cache variable VELTRIN_RELEASE_URL (the folder
# the release is published in) a winget manifest in winget/
# (write-release-description.cmake): both read from the built package, whose
# product code changes with every build.
#
# Both hold the same program: VeltrinLighting.exe without debug symbols
# (release/VeltrinLighting.exe in the build folder, made with every build),
# signed when the cache variable VELTRIN_SIGNING_CERT names a code-signing
# certificate (PEM). Its private key is either a PEM file
# (VELTRIN_SIGNING_KEY) or an object on a hardware token, reached through the
# token's PKCS#11 module (VELTRIN_SIGNING_PKCS11_MODULE) by a pkcs11: URI
# (VELTRIN_SIGNING_PKCS11_KEY); VELTRIN_SIGNING_PIN_FILE may hold the token's
# PIN. With VELTRIN_SIGNING_TIMESTAMP_URL, every signature carries an RFC 3161
# timestamp from that server, so that it stays valid after the certificate
# expires. The msi is signed too, after its last change, and so is the DLL
# of its custom actions (release/VeltrinLightingSetup.dll, built from
# installer/custom_action/), which goes into the msi alone. Unsigned is the
# default.
#
# The zip comes from cpack: VeltrinLighting-<version>-win64.zip holds the program, the
# README, the guides (docs/), the licence, the policy template (PolicyDefinitions/)
# and the deployment scripts (deploy/), and nothing else: only the "program" component is
# packed, and the test programs and the simulated machine belong to no
# install rule at all.

set(VELTRIN_SIGNING_CERT "" CACHE FILEPATH "Code-signing certificate (PEM) that signs the program and the msi")
set(VELTRIN_SIGNING_KEY "" CACHE FILEPATH "Private key (PEM) of VELTRIN_SIGNING_CERT")
# A URI is no path: as a FILEPATH, CMake would prefix it with the current
# folder.
set(VELTRIN_SIGNING_PKCS11_KEY "" CACHE STRING "pkcs11: URI of the private key of VELTRIN_SIGNING_CERT on a token")
set(VELTRIN_SIGNING_PKCS11_MODULE "" CACHE FILEPATH "PKCS#11 module (.so) of the token that holds VELTRIN_SIGNING_PKCS11_KEY")
set(VELTRIN_SIGNING_PIN_FILE "" CACHE FILEPATH "File holding the token's PIN (optional)")
set(VELTRIN_SIGNING_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server that timestamps every signature (optional)")
set(VELTRIN_RELEASE_URL "" CACHE STRING "Folder (https://...) the release is published in, for the winget manifest (optional)")
set(VELTRIN_PACKAGE_URL "" CACHE STRING
  "Home page (https://...) of the package, the winget manifest's PackageUrl (optional: the folder above VELTRIN_RELEASE_URL)")
foreach(url_variable VELTRIN_RELEASE_URL VELTRIN_PACKAGE_URL)
  if(${url_variable} AND NOT ${url_variable} MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://.")
    message(FATAL_ERROR "${url_variable} must be an http:// or https:// URL, not \"${${url_variable}}\"")
  endif()
endforeach()
include(VeltrinSigningSettings)

# Command that signs INPUT into OUTPUT, in the variable named by out_var.
function(veltrin_sign_command out_var input output)
  set(${out_var}
    "${CMAKE_COMMAND}" -D "SETTINGS=${VELTRIN_SIGNING_SETTINGS}"
    -D "INPUT=${input}" -D "OUTPUT=${output}" -P "${PROJECT_SOURCE_DIR}/cmake/sign-file.cmake"
    PARENT_SCOPE)
endfunction()

# The released program, and the installer package's custom actions (a DLL
# that goes into the msi only). MSVC keeps debug information in a separate
# file, so there is nothing to strip there.
set(release_dir "${PROJECT_BINARY_DIR}/release")
set(release_program "${release_dir}/VeltrinLighting.exe")
set(release_actions "${release_dir}/VeltrinLightingSetup.dll")
# Command that copies the built target to the file given, in out_var.
function(veltrin_copy_release_command out_var target destination)
  if(CMAKE_STRIP AND NOT MSVC)
    set(${out_var} "${CMAKE_STRIP}" -o "${destination}" "$<TARGET_FILE:${target}>" PARENT_SCOPE)
  else()
    set(${out_var} "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:${target}>" "${destination}" PARENT_SCOPE)
  endif()
endfunction()

# Makes the released copy of target as output, signed when a certificate is
# given, with the custom target release_<name> (built with everything).
function(veltrin_release_file name target output)
  get_filename_component(file_name "${output}" NAME)
  if(VELTRIN_SIGNING_CERT)
    veltrin_copy_release_command(copy "${target}" "${release_dir}/unsigned/${file_name}")
    veltrin_sign_command(sign "${release_dir}/unsigned/${file_name}" "${output}")
    add_custom_command(OUTPUT "${output}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${release_dir}/unsigned"
      COMMAND ${copy}
      COMMAND ${sign}
      DEPENDS ${target} ${VELTRIN_SIGNING_INPUTS}
      COMMENT "Stripping and signing ${file_name}"
      VERBATIM)
  else()
    veltrin_copy_release_command(copy "${target}" "${output}")
    add_custom_command(OUTPUT "${output}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${release_dir}"
      COMMAND ${copy}
      DEPENDS ${target}
      COMMENT "Stripping ${file_name}"
      VERBATIM)
  endif()
  add_custom_target(release_${name} ALL DEPENDS "${output}")
endfunction()
veltrin_release_file(program VeltrinLighting "${release_program}")
veltrin_release_file(actions VeltrinLightingSetup "${release_actions}")

# The zip.
install(PROGRAMS "${release_program}" DESTINATION . COMPONENT program)
install(FILES README.md LICENSE DESTINATION . COMPONENT program)
# The administrative template of the lighting policy, as Group Policy's
# central store and Intune's import take it.
install(DIRECTORY PolicyDefinitions DESTINATION . COMPONENT program)
# The guides beside the README, which links to them.
install(DIRECTORY docs DESTINATION . COMPONENT program)
# The detection and remediation scripts that the guides quote.
install(DIRECTORY deploy DESTINATION . COMPONENT program)

set(release_name "${PROJECT_NAME}-${PROJECT_VERSION}-win64")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "${release_name}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# One archive holding the listed components; the file name stays as above.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL program)
# The program is stripped already; stripping a signed one would break its
# signature.
set(CPACK_STRIP_FILES OFF)
include(CPack)
set(release_zip "${PROJECT_BINARY_DIR}/${release_name}.zip")

# The msi, built with wixl and msibuild (msitools) on Linux; a build without
# them has no msi target.
find_program(VELTRIN_WIXL wixl)
find_program(VELTRIN_MSIBUILD msibuild)
find_program(VELTRIN_MSIINFO msiinfo)
find_program(VELTRIN_BASH bash)
if(NOT VELTRIN_WIXL OR NOT VELTRIN_MSIBUILD OR NOT VELTRIN_MSIINFO OR NOT VELTRIN_BASH)
  message(WARNING "wixl, msibuild, msiinfo or bash not found: no msi and release targets")
  return()
endif()
set(release_msi "${PROJECT_BINARY_DIR}/${release_name}.msi")
set(build_msi "${VELTRIN_BASH}" "${PROJECT_SOURCE_DIR}/installer/build-msi.sh" "${PROJECT_VERSION}"
              "${release_program}" "${release_actions}" "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/LICENSE"
              "${PROJECT_SOURCE_DIR}/docs")
file(GLOB guides CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/*.md")
set(msi_inputs "${release_program}" "${release_actions}" "${PROJECT_SOURCE_DIR}/installer/build-msi.sh"
               "${PROJECT_SOURCE_DIR}/installer/VeltrinLighting.wxs" "${PROJECT_SOURCE_DIR}/README.md"
               "${PROJECT_SOURCE_DIR}/LICENSE" ${guides})
if(VELTRIN_SIGNING_CERT)
  veltrin_sign_command(sign_msi "${release_dir}/unsigned/package.msi" "${release_msi}")
  add_custom_command(OUTPUT "${release_msi}"
    COMMAND ${build_msi} "${release_dir}/unsigned/package.msi"
    COMMAND ${sign_msi}
    DEPENDS ${msi_inputs}
    COMMENT "Building and signing the installer package"
    VERBATIM)
else()
  add_custom_command(OUTPUT "${release_msi}"
    COMMAND ${build_msi} "${release_msi}"
    DEPENDS ${msi_inputs}
    COMMENT "Building the installer package"
    VERBATIM)
endif()
add_custom_target(msi DEPENDS "${release_msi}")
# The msi's command names the program and the DLL as files, so make's rules
# for "msi" hold the rules that strip and sign them too: built first, they are
# up to date there. In parallel, both would write them at once, and signing
# one fails.
add_dependencies(msi release_program release_actions)

# The release: cpack always packs anew; the checksums and the package's
# description follow.
set(checksum_script "${PROJECT_SOURCE_DIR}/cmake/write-checksum.cmake")
if(NOT VELTRIN_RELEASE_URL)
  message(STATUS "VELTRIN_RELEASE_URL is not set: the release target writes no winget manifest")
endif()
add_custom_target(release
  COMMAND "${CMAKE_CPACK_COMMAND}" -G ZIP --config "${PROJECT_BINARY_DIR}/CPackConfig.cmake"
          -B "${PROJECT_BINARY_DIR}"
  COMMAND "${CMAKE_COMMAND}" -D "FILE=${release_zip}" -P "${checksum_script}"
  COMMAND "${CMAKE_COMMAND}" -D "FILE=${release_msi}" -P "${checksum_script}"
  COMMAND "${CMAKE_COMMAND}" -D "MSI=${release_msi}" -D "MSIINFO=${VELTRIN_MSIINFO}"
          -D "DESCRIPTION=${PROJECT_DESCRIPTION}" -D "WINGET_DIR=${PROJECT_BINARY_DIR}/winget"
          -D "RELEASE_URL=${VELTRIN_RELEASE_URL}" -D "PACKAGE_URL=${VELTRIN_PACKAGE_URL}"
          -P "${PROJECT_SOURCE_DIR}/cmake/write-release-description.cmake"
  DEPENDS release_program msi
  COMMENT "Packing the release zip, writing the checksums and describing the package"
  VERBATIM)
