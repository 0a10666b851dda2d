#!/usr/bin/env bash
# Builds the Windows Installer package of VeltrinLighting from
# VeltrinLighting.wxs with wixl and adds what wixl cannot write. The build
# (cmake/VeltrinPackaging.cmake) calls it with the project version and signs
# the result when given a certificate; for an upgrade test, call it with
# another version and the same program.
# Usage: build-msi.sh VERSION PROGRAM CUSTOM_ACTIONS README LICENSE GUIDES OUTPUT
#   VERSION         the product version: three numbers, each part compared in
#                   turn (the first two up to 255, the third up to 65535)
#   PROGRAM         the VeltrinLighting.exe to install
#   CUSTOM_ACTIONS  the VeltrinLightingSetup.dll the package calls
#   GUIDES          the folder of the guides (docs/), installed beside README
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$1 program=$2 actions=$3 readme=$4 license=$5 guides=$6 output=$7

# wixl finds the files to pack by their names relative to where it runs.
stage=$(mktemp -d "$output.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/VeltrinLighting.exe"
cp "$actions" "$stage/VeltrinLightingSetup.dll"
cp "$readme" "$stage/README.md"
cp "$license" "$stage/LICENSE"
mkdir "$stage/docs"
cp "$guides"/*.md "$stage/docs/"
(cd "$stage" && wixl -a x64 -D Version="$version" -o package.msi "$here/VeltrinLighting.wxs")

# What wixl cannot write:
# - the types of the DLL actions that run from the script: 1 (a function of a
#   DLL in the Binary table) + 0x400 (in the script) + 0x800 (as LocalSystem,
#   not impersonated), and for rollback (0x100) and commit (0x200) actions
#   also 0x40 (result ignored);
# - the RemoveFile row that deletes the task file, which the custom action
#   writes, when the program's component is uninstalled (mode 2);
# - the Registry row "-" that deletes the event source's key, not only the
#   values the package wrote, on uninstall; and one that deletes the key of
#   the run record, which the program makes;
# - same-version upgrades: every build of a version has a product code of its
#   own, and without them two builds of one version would be installed side
#   by side. The upgrade row's VersionMax becomes inclusive (0x200, beside
#   1, migrate feature states), so that a package of the same version
#   replaces the installed one as a higher version does.
# - the install folder on the machine's PATH: an Environment row of the
#   SearchPath component, with its actions at their usual places. "*" is the
#   machine's environment, "=" sets and "-" removes on uninstall; with
#   "[~];" both apply only to this folder, appended after a ";", so the rest
#   of PATH stays and the folder is there once. The component's condition
#   leaves it out with ADDTOPATH=0, which is a secure property so that it
#   also reaches an elevated install.
deferred_type=$((1 + 0x400 + 0x800))
rollback_type=$((deferred_type + 0x40 + 0x100))
commit_type=$((deferred_type + 0x40 + 0x200))
event_source='SYSTEM\CurrentControlSet\Services\EventLog\Application\VeltrinLighting'
run_record='SOFTWARE\Orvane\VeltrinLightingLastRun'
# Identifiers in backquotes: Key, for one, is a word of the query language.
patch() { msibuild "$stage/package.msi" -q "$1"; }
set_type() { patch "UPDATE \`CustomAction\` SET \`Type\` = $1 WHERE \`Action\` = '$2'"; }
set_type "$deferred_type" InstallStartupTask
set_type "$deferred_type" RemoveStartupTask
set_type "$rollback_type" UndoInstallStartupTask
set_type "$rollback_type" UndoRemoveStartupTask
set_type "$commit_type" ForgetKeptStartupTask
patch "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`)
VALUES ('TaskFile', 'Program', 'task.xml', 'INSTALLFOLDER', 2)"
patch "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`)
VALUES ('EventSourceKey', 2, '$event_source', '-', 'EventSource')"
patch "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`)
VALUES ('RunRecordKey', 2, '$run_record', '-', 'Program')"
# Attributes is part of the Upgrade table's key, so the row is written anew.
upgrade_code=$(msiinfo export "$stage/package.msi" Property | tr -d '\r' | awk -F '\t' '$1 == "UpgradeCode" { print $2 }')
patch "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
patch "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
VALUES ('$upgrade_code', '$version', $((1 + 0x200)), 'WIX_UPGRADE_DETECTED')"

patch "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL, \`Name\` CHAR(255) NOT NULL LOCALIZABLE,
  \`Value\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)"
patch "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
VALUES ('SearchPath', '*=-PATH', '[~];[INSTALLFOLDER]', 'SearchPath')"
patch "UPDATE \`Component\` SET \`Condition\` = 'ADDTOPATH <> \"0\"' WHERE \`Component\` = 'SearchPath'"
patch "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)"
patch "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)"
secure=$(msiinfo export "$stage/package.msi" Property | tr -d '\r' \
  | awk -F '\t' '$1 == "SecureCustomProperties" { print $2 }')
patch "UPDATE \`Property\` SET \`Value\` = '$secure;ADDTOPATH' WHERE \`Property\` = 'SecureCustomProperties'"

mv "$stage/package.msi" "$output"
