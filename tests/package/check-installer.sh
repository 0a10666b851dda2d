#!/usr/bin/env bash
# Takes the release msi through an administrator's life cycle under Wine, in
# a prefix of its own with the simulated machine and the Task Scheduler: run
# the signed program and install the signed msi silently (both signed by
# check-signing.sh, the msi with a token's key and a timestamp), upgrade to a
# higher version, refuse the lower one, uninstall, and roll back a failing
# install. Wine keeps a registered task only as the file
# system32\tasks\NAME, without its command, so the command is read from the
# task file the installer wrote.
# Usage: check-installer.sh BUILD_DIR SOURCE_DIR VERSION SIMULATED_MACHINE_DLL SIGNED_DIR WORKDIR
set -euo pipefail
trap 'echo "check-installer.sh: failed at line $LINENO" >&2' ERR
build=$1 source=$2 version=$3 dll=$4 signed=$5 workdir=$6
rm -rf "$workdir"
mkdir -p "$workdir"
program="$build/release/VeltrinLighting.exe"
msi="$build/VeltrinLighting-$version-win64.msi"
task=OrvaneVRVeltrinLightingUtilityStartup

fail() {
  echo "$*" >&2
  exit 1
}

# --- The prefix
export WINEPREFIX="$workdir/prefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
setsid wineserver -p </dev/null >/dev/null 2>&1 &
trap 'wineserver -k 2>/dev/null || true' EXIT
"$source/cmake/register-simulated-machine.sh" "$WINEPREFIX" "$dll"
"$source/cmake/start-task-scheduler.sh"

output=$(wine "$signed/signed.exe" help | tr -d '\r')
grep -q '^USAGE:$' <<<"$output" || fail "the signed program printed: $output"

folder="$WINEPREFIX/drive_c/Program Files/VeltrinLighting"
installed_program='C:\Program Files\VeltrinLighting\VeltrinLighting.exe'
registered_task="$WINEPREFIX/drive_c/windows/system32/tasks/$task"
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\VeltrinLighting'
colours='HKLM\SOFTWARE\Orvane\VeltrinLighting'

# msiexec ACTION PACKAGE: its exit code, its output in msiexec.log.
msiexec() {
  local status=0
  wine msiexec "$1" "$(winepath -w "$2")" /qn >>"$workdir/msiexec.log" 2>&1 || status=$?
  return "$status"
}
# The version of each installed product named VeltrinLighting, one a line.
installed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 | tr -d '\r' | awk '
    function report() { if (name == "VeltrinLighting") print version; name = ""; version = "" }
    /^HKEY/ { report() }
    $1 == "DisplayName" { name = $3 }
    $1 == "DisplayVersion" { version = $3 }
    END { report() }'
}
# The data of value NAME under KEY, as reg prints it.
registry_value() {
  wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 \{1,\}REG_[A-Z_]\{1,\} \{1,\}//p"
}
key_exists() {
  wine reg query "$1" /reg:64 >/dev/null 2>&1
}

expect_installed() {
  local expected=$1 file command
  [ "$(installed_versions)" = "$expected" ] || fail "installed: $(installed_versions | tr '\n' ' '), expected $expected"
  for file in VeltrinLighting.exe README.md LICENSE task.xml; do
    [ -f "$folder/$file" ] || fail "$file is not installed"
  done
  [ -f "$registered_task" ] || fail "the task is not registered"
  command=$(iconv -f UTF-16 -t UTF-8 "$folder/task.xml" | tr -d '\r' | sed -n 's:.*<Command>\(.*\)</Command>.*:\1:p')
  [ "$command" = "$installed_program" ] || fail "the task file runs '$command'"
  [ "$(registry_value "$event_source" EventMessageFile)" = "$installed_program" ] || fail "no event message file"
  [ "$(registry_value "$event_source" TypesSupported)" = 0x7 ] || fail "wrong event types"
}
expect_nothing_installed() {
  [ -z "$(installed_versions)" ] || fail "still installed: $(installed_versions)"
  [ ! -e "$registered_task" ] || fail "the task is still registered"
  ! key_exists "$event_source" || fail "the event source is still registered"
}

# --- Install
msiexec /i "$signed/signed.msi" || fail "installing failed"
expect_installed "$version"
output=$(wine "$installed_program" 255 0 0 100 0 0 255 50 | tr -d '\r')
[ -z "$output" ] || fail "the installed program printed: $output"
[ "$(registry_value "$colours" Z1_Red)" = 0xff ] && [ "$(registry_value "$colours" Z2_Blue)" = 0xff ] \
  || fail "the installed program stored no colours"
# status sees the registered task (Wine keeps no command, so its program
# could not be read), the event source and the stored colours.
output=$(wine "$installed_program" status | tr -d '\r')
grep -q -x 'Startup task: registered.*' <<<"$output" || fail "status: $output"
grep -q -x 'Startup task program: could not be read' <<<"$output" || fail "status: $output"
grep -q -x -F "Event source: registered, message file \"$installed_program\"" <<<"$output" || fail "status: $output"
grep -q -x 'Stored colours in the machine key: complete, logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %' \
  <<<"$output" || fail "status: $output"

# --- Upgrade
IFS=. read -r major minor patch <<<"$version"
higher="$major.$minor.$((patch + 1))"
"$source/installer/build-msi.sh" "$higher" "$program" "$source/README.md" "$source/LICENSE" "$workdir/higher.msi"
msiexec /i "$workdir/higher.msi" || fail "upgrading failed"
expect_installed "$higher"

# --- Downgrade
! msiexec /i "$msi" || fail "the lower version was installed over the higher one"
expect_installed "$higher"
msiinfo export "$msi" LaunchCondition | grep -q 'A newer version of VeltrinLighting is already installed' \
  || fail "no message for a refused downgrade"

# --- Uninstall
msiexec /x "$workdir/higher.msi" || fail "uninstalling failed"
expect_nothing_installed
[ ! -e "$folder" ] || fail "the folder is still there: $(ls -A "$folder")"
[ "$(registry_value "$colours" Z1_Red)" = 0xff ] || fail "the stored colours are gone"
output=$(wine "$program" status | tr -d '\r')
grep -q -x 'Startup task: not registered' <<<"$output" || fail "status after uninstalling: $output"

# --- Rollback: a deferred action that fails after everything else is done.
cp "$msi" "$workdir/failing.msi"
msibuild "$workdir/failing.msi" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`)
  VALUES ('FailForTest', $((50 + 0x400 + 0x800)), 'CMD', '/c exit 1')"
msibuild "$workdir/failing.msi" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
  VALUES ('FailForTest', 6590)"
! msiexec /i "$workdir/failing.msi" || fail "the failing package installed"
expect_nothing_installed
[ ! -e "$folder" ] || fail "the folder is still there after a rollback: $(ls -A "$folder")"

# --- Rollback: the task file cannot be written (a folder of that name is in
# the way), so the task cannot be registered.
mkdir -p "$folder/task.xml"
! msiexec /i "$msi" || fail "installed without a task file"
expect_nothing_installed
[ "$(ls -A "$folder")" = task.xml ] || fail "left behind: $(ls -A "$folder")"
rm -r "$folder"

echo "signed, installed, upgraded, downgrade refused, uninstalled and rolled back under Wine"
