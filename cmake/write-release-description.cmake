# Writes what a release's installer package is, read from the package itself
# (its Property table and its bytes), so that a deployment tool's detection
# rule is written from it and not by hand: the product code changes with
# every build.
# - MSI.json beside the msi: the product name, version, ProductCode,
#   UpgradeCode, the file name and its SHA-256.
# - With RELEASE_URL (the folder the release is published in), a winget
#   manifest in the multi-file form of manifest schema 1.10.0 (version,
#   installer and default-locale files) in WINGET_DIR, whose PackageUrl (the
#   package's home page) is PACKAGE_URL, or else the folder above
#   RELEASE_URL, where the releases' folders lie. Without it, WINGET_DIR
#   is emptied, since a manifest left from an earlier build would name
#   another build's product code and hash, and the build says so.
#   cmake -D MSI=path -D MSIINFO=path -D DESCRIPTION=text -D WINGET_DIR=path
#         [-D RELEASE_URL=https://... [-D PACKAGE_URL=https://...]]
#         -P write-release-description.cmake
set(package_identifier Orvane.VeltrinLighting)
set(manifest_version 1.10.0)
set(locale en-US)
# As LICENSE says.
set(license MIT)
# What winget puts on the PATH for the package (the msi adds its folder) and
# the words it is found by: at most 16, each of 1 to 40 characters.
set(command VeltrinLighting)
set(tags lighting rgb led vr workstation orvane veltrin command-line)

execute_process(COMMAND "${MSIINFO}" export "${MSI}" Property
  OUTPUT_VARIABLE properties RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "msiinfo could not read the Property table of ${MSI}")
endif()
string(REPLACE "\r" "" properties "\n${properties}")
foreach(property ProductName ProductVersion ProductCode UpgradeCode Manufacturer)
  if(NOT properties MATCHES "\n${property}\t([^\n]+)")
    message(FATAL_ERROR "${MSI} has no ${property}")
  endif()
  set(${property} "${CMAKE_MATCH_1}")
endforeach()
file(SHA256 "${MSI}" sha256)
get_filename_component(file_name "${MSI}" NAME)

function(json_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()
set(json "{\n")
set(separator "")
foreach(field ProductName ProductVersion ProductCode UpgradeCode)
  json_string(value "${${field}}")
  string(APPEND json "${separator}  \"${field}\": ${value}")
  set(separator ",\n")
endforeach()
json_string(value "${file_name}")
string(APPEND json ",\n  \"FileName\": ${value},\n  \"Sha256\": \"${sha256}\"\n}\n")
file(WRITE "${MSI}.json" "${json}")

file(REMOVE_RECURSE "${WINGET_DIR}")
if(NOT RELEASE_URL)
  message(STATUS "No winget manifest: VELTRIN_RELEASE_URL (the folder the release is published in) is not set")
  return()
endif()

# Single-quoted YAML scalars: a product code's braces and a version such as
# 1.10 would be read as something else unquoted.
function(yaml_string out value)
  string(REPLACE "'" "''" value "${value}")
  set(${out} "'${value}'" PARENT_SCOPE)
endfunction()
string(REGEX REPLACE "/+$" "" folder_url "${RELEASE_URL}")
yaml_string(url "${folder_url}/${file_name}")
if(NOT PACKAGE_URL AND folder_url MATCHES "^[^:]+://[^/]+$")
  set(PACKAGE_URL "${folder_url}/")
elseif(NOT PACKAGE_URL)
  string(REGEX REPLACE "/[^/]*$" "/" PACKAGE_URL "${folder_url}")
endif()
yaml_string(package_url "${PACKAGE_URL}")
set(tag_list "")
foreach(tag IN LISTS tags)
  string(APPEND tag_list "- ${tag}\n")
endforeach()
yaml_string(version "${ProductVersion}")
yaml_string(product_code "${ProductCode}")
yaml_string(upgrade_code "${UpgradeCode}")
yaml_string(publisher "${Manufacturer}")
yaml_string(name "${ProductName}")
yaml_string(description "${DESCRIPTION}")
string(TOUPPER "${sha256}" sha256)

set(head "PackageIdentifier: ${package_identifier}\nPackageVersion: ${version}\n")
set(tail "ManifestVersion: ${manifest_version}\n")
function(write_manifest file type body)
  file(WRITE "${WINGET_DIR}/${package_identifier}${file}.yaml"
    "# yaml-language-server: $schema=https://aka.ms/winget-manifest.${type}.${manifest_version}.schema.json\n"
    "${head}${body}ManifestType: ${type}\n${tail}")
endfunction()
write_manifest("" version "DefaultLocale: ${locale}\n")
# 3010 and 1641: installed, and a restart is needed or was started.
write_manifest(.installer installer "\
InstallerType: wix
Scope: machine
UpgradeBehavior: install
Commands:
- ${command}
InstallerSuccessCodes:
- 3010
- 1641
Installers:
- Architecture: x64
  InstallerUrl: ${url}
  InstallerSha256: ${sha256}
  ProductCode: ${product_code}
  AppsAndFeaturesEntries:
  - UpgradeCode: ${upgrade_code}
")
write_manifest(.locale.${locale} defaultLocale "\
PackageLocale: ${locale}
Publisher: ${publisher}
PackageName: ${name}
PackageUrl: ${package_url}
License: ${license}
ShortDescription: ${description}
Tags:
${tag_list}")
message(STATUS "winget manifest of ${package_identifier} ${ProductVersion}: ${WINGET_DIR}")
