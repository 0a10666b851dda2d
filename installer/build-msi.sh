#!/usr/bin/env bash
# Builds the Windows Installer package of VeltrinLighting from
# VeltrinLighting.wxs with wixl and adds what wixl cannot write. The build
# (cmake/VeltrinPackaging.cmake) calls it with the project version and signs
# the result when given a certificate; for an upgrade test, call it with
# another version and the same program.
# Usage: build-msi.sh VERSION PROGRAM README LICENSE OUTPUT
#   VERSION  the product version: three numbers, each part compared in turn
#            (the first two up to 255, the third up to 65535)
#   PROGRAM  the VeltrinLighting.exe to install
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$1 program=$2 readme=$3 license=$4 output=$5

# wixl finds the files to pack by their names relative to where it runs.
stage=$(mktemp -d "$output.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/VeltrinLighting.exe"
cp "$readme" "$stage/README.md"
cp "$license" "$stage/LICENSE"
(cd "$stage" && wixl -a x64 -D Version="$version" -o package.msi "$here/VeltrinLighting.wxs")

# What wixl cannot write:
# - rollback custom actions (it makes them immediate): type 50 (run the exe a
#   property names) + 64 (result ignored) + 0x500 (rollback, in the script)
#   + 0x800 (no impersonation);
# - the RemoveFile row that deletes the task file, which the installed
#   program writes, when the program's component is uninstalled (mode 2);
# - the Registry row "-" that deletes the event source's key, not only the
#   values the package wrote, on uninstall.
rollback_type=$((50 + 64 + 0x500 + 0x800))
event_source='SYSTEM\CurrentControlSet\Services\EventLog\Application\VeltrinLighting'
# Identifiers in backquotes: Key, for one, is a word of the query language.
patch() { msibuild "$stage/package.msi" -q "$1"; }
for action in WriteTaskFileRollback RegisterTaskRollback DeleteTaskRollback; do
  patch "UPDATE \`CustomAction\` SET \`Type\` = $rollback_type WHERE \`Action\` = '$action'"
done
patch "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`)
VALUES ('TaskFile', 'Program', 'task.xml', 'INSTALLFOLDER', 2)"
patch "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`)
VALUES ('EventSourceKey', 2, '$event_source', '-', 'EventSource')"

mv "$stage/package.msi" "$output"
