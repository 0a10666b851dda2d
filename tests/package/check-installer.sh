#!/usr/bin/env bash
# Takes the release msi through an administrator's life cycle under Wine, in
# a prefix of its own with the simulated machine and the Task Scheduler: run
# the signed program and install the signed msi silently (both signed by
# check-signing.sh, the msi with a token's key and a timestamp), repair a
# deleted task, install another build of the same version over it, upgrade to
# a higher version, refuse the lower one, uninstall by the product code that
# the upgrade code finds (related-products.js), roll back a failing install
# (which deletes a task a user registered under the name, since only a task
# registered as LocalSystem is put back), and refuse a folder that users may
# change, a task file planted there, and a planted kept value; a task file
# held open is a warning. The install folder is on the machine's PATH once
# while installed, whatever replaced what, and off it when uninstalled or
# installed with ADDTOPATH=0. Wine keeps a registered task only as the file
# system32\tasks\NAME, without its command or principal, so the command is
# read from the task file the installer wrote, and the registered task is told
# from a planted one by its description, which Wine keeps.
# Usage: check-installer.sh BUILD_DIR SOURCE_DIR VERSION SIMULATED_MACHINE_DLL SIGNED_DIR HOLD_FILE WORKDIR
set -euo pipefail
trap 'echo "check-installer.sh: failed at line $LINENO" >&2' ERR
build=$1 source=$2 version=$3 dll=$4 signed=$5 hold_file=$6 workdir=$7
rm -rf "$workdir"
mkdir -p "$workdir"
program="$build/release/VeltrinLighting.exe"
actions="$build/release/VeltrinLightingSetup.dll"
msi="$build/VeltrinLighting-$version-win64.msi"
task=OrvaneVRVeltrinLightingUtilityStartup
guides=$(cd "$source" && find docs -type f -name '*.md' | sort)

fail() {
  echo "$*" >&2
  exit 1
}

# --- The prefix
export WINEPREFIX="$workdir/prefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
# Waited for, as in cmake/wine-prefix.sh: one persistent server for the whole
# check, ready before the first Wine process.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
"$source/cmake/register-simulated-machine.sh" "$WINEPREFIX" "$dll"
"$source/cmake/start-task-scheduler.sh"

output=$(wine "$signed/signed.exe" help | tr -d '\r')
grep -q '^USAGE:$' <<<"$output" || fail "the signed program printed: $output"

folder="$WINEPREFIX/drive_c/Program Files/VeltrinLighting"
installed_folder='C:\Program Files\VeltrinLighting\'
installed_program="${installed_folder}VeltrinLighting.exe"
registered_task="$WINEPREFIX/drive_c/windows/system32/tasks/$task"
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\VeltrinLighting'
colours='HKLM\SOFTWARE\Orvane\VeltrinLighting'
kept_tasks='HKLM\SOFTWARE\Orvane\VeltrinLightingSetup'
run_record='HKLM\SOFTWARE\Orvane\VeltrinLightingLastRun'
machine_environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'

# msiexec ACTION PACKAGE [PROPERTY=VALUE...]: its exit code; its output in
# msiexec.log, its own log in msiexec-N.log.
runs=0
msiexec() {
  local action=$1 package=$2 status=0
  shift 2
  runs=$((runs + 1))
  wine msiexec "$action" "$(winepath -w "$package")" "$@" /qn /l*v "$(winepath -w "$workdir/msiexec-$runs.log")" \
    >>"$workdir/msiexec.log" 2>&1 || status=$?
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
# The key of the installed product named VeltrinLighting in Programs and
# Features.
uninstall_key() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 | tr -d '\r' | awk '
    /^HKEY/ { key = $0 }
    $1 == "DisplayName" && $3 == "VeltrinLighting" { print key; exit }'
}
# The data of value NAME under KEY, as reg prints it. A read that fails says
# so on standard error and fails, so that a check that then fails shows why
# it read nothing: reg prints a missing key or value on its output; a Wine
# process that died before reg ran (seen now and then on a loaded machine,
# status 1 and no output) leaves only Wine's own error messages, which are
# kept for that.
registry_value() {
  local output status=0
  output=$(WINEDEBUG=-all,err+all wine reg query "$1" /v "$2" /reg:64 2>"$workdir/reg-query.err") || status=$?
  if [ "$status" -ne 0 ]; then
    echo "reading $2 of $1 failed with status $status: $output $(tr -d '\r' <"$workdir/reg-query.err")" >&2
    return "$status"
  fi
  tr -d '\r' <<<"$output" | sed -n "s/^ *$2 \{1,\}REG_[A-Z_]\{1,\} \{1,\}//p"
}
key_exists() {
  wine reg query "$1" /reg:64 >/dev/null 2>&1
}
# How often the machine's PATH holds the install folder (with or without its
# final backslash).
path_entries() {
  local path
  path=$(registry_value "$machine_environment" Path) || return
  tr ';' '\n' <<<"$path" | grep -c -i -x -F -e "$installed_folder" -e "${installed_folder%\\}" || true
}

# The Description of a task file: UTF-16 as written, UTF-8 as Wine keeps it
# (told by the UTF-16 byte order mark: a UTF-8 file of even length would pass
# for UTF-16 otherwise).
description() {
  if [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = fffe ]; then
    iconv -f UTF-16 -t UTF-8 "$1"
  else
    cat "$1"
  fi | tr -d '\r' | sed -n 's:.*<Description>\(.*\)</Description>.*:\1:p'
}

# expect_installed VERSION [PATH_ENTRIES]: PATH_ENTRIES (1 unless given) is
# how often the machine's PATH holds the folder.
expect_installed() {
  local expected=$1 entries=${2:-1} file command uninstall
  [ "$(installed_versions)" = "$expected" ] || fail "installed: $(installed_versions | tr '\n' ' '), expected $expected"
  for file in VeltrinLighting.exe README.md LICENSE task.xml; do
    [ -f "$folder/$file" ] || fail "$file is not installed"
  done
  # The guides beside the README, as in the source, so that its links (and
  # theirs) lead somewhere.
  [ "$(cd "$folder" && find docs -type f | sort)" = "$guides" ] \
    || fail "guides installed: $(cd "$folder" && find docs | sort | tr '\n' ' ')"
  for file in $guides; do cmp "$source/$file" "$folder/$file" || fail "$file is not the source's"; done
  "$source/tests/package/check-links.sh" "$folder" README.md $guides || fail "the installed README's links go nowhere"
  [ -f "$registered_task" ] || fail "the task is not registered"
  command=$(iconv -f UTF-16 -t UTF-8 "$folder/task.xml" | tr -d '\r' | sed -n 's:.*<Command>\(.*\)</Command>.*:\1:p')
  [ "$command" = "$installed_program" ] || fail "the task file runs '$command'"
  [ "$(description "$registered_task")" = "$(description "$folder/task.xml")" ] \
    || fail "the registered task is not the task file's: $(description "$registered_task")"
  [ "$(registry_value "$event_source" EventMessageFile)" = "$installed_program" ] || fail "no event message file"
  [ "$(registry_value "$event_source" TypesSupported)" = 0x7 ] || fail "wrong event types"
  uninstall=$(uninstall_key)
  [ "$(registry_value "$uninstall" InstallLocation)" = 'C:\Program Files\VeltrinLighting\' ] \
    && [ "$(registry_value "$uninstall" HelpLink)" = 'C:\Program Files\VeltrinLighting\README.md' ] \
    && [ "$(registry_value "$uninstall" NoModify)" = 0x1 ] || fail "Programs and Features: $(wine reg query "$uninstall")"
  ! key_exists "$kept_tasks" || fail "what was kept for a rollback is still there"
  [ "$(path_entries)" = "$entries" ] \
    || fail "PATH holds the folder $(path_entries) times: $(registry_value "$machine_environment" Path)"
}
expect_nothing_installed() {
  [ -z "$(installed_versions)" ] || fail "still installed: $(installed_versions)"
  [ ! -e "$registered_task" ] || fail "the task is still registered"
  ! key_exists "$event_source" || fail "the event source is still registered"
  ! key_exists "$kept_tasks" || fail "what was kept for a rollback is still there"
  ! key_exists "$run_record" || fail "the run record's key is still there"
  # The rest of PATH is as it was (Wine leaves the separator behind).
  [ "$(registry_value "$machine_environment" Path | sed 's/;*$//')" = "$original_path" ] \
    || fail "PATH: $(registry_value "$machine_environment" Path), before installing: $original_path"
}
# Writes a task file with the description given as FILE.
task_file() {
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<XML; } >"$2"
<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo><Description>$1</Description></RegistrationInfo>
  <Actions><Exec><Command>C:\windows\system32\cmd.exe</Command></Exec></Actions>
</Task>
XML
}

# Holds FILE open without delete sharing until release_file.
hold_file() {
  rm -f "$workdir/hold" "$workdir/hold.out"
  mkfifo "$workdir/hold"
  wine "$hold_file" "$(winepath -w "$1")" <"$workdir/hold" >"$workdir/hold.out" 2>&1 &
  holder=$!
  exec 3>"$workdir/hold"
  for _ in $(seq 100); do
    grep -q held "$workdir/hold.out" && break
    sleep 0.1
  done
  grep -q held "$workdir/hold.out" || fail "$1 could not be held open: $(cat "$workdir/hold.out")"
}
release_file() {
  exec 3>&-
  wait "$holder"
}
# The RegisterTask calls of the last msiexec run, which ran with
# WINEDEBUG=-all,trace+taskschd: Wine keeps no principal, so this is what
# says what was registered.
registrations() {
  sed -n "$((log_lines + 1)),\$p" "$workdir/msiexec.log" | grep RegisterTask || true
}
traced_msiexec() {
  log_lines=$(wc -l <"$workdir/msiexec.log" 2>/dev/null || echo 0)
  WINEDEBUG=-all,trace+taskschd msiexec "$@"
}

# --- The package runs no program: each custom action is a function of its
# own DLL (type 1) or sets a property (51), whatever flags it carries.
msiinfo export "$signed/signed.msi" CustomAction | tail -n +4 | while IFS=$'\t' read -r action type _; do
  case $((type & 0x3f)) in
    1 | 51) ;;
    *) fail "custom action $action has type $type" ;;
  esac
done

# Windows removes the PATH entry on uninstall only when its name says so
# ("-"); Wine removes it either way, so the row itself is checked.
msiinfo export "$signed/signed.msi" Environment | tr -d '\r' \
  | grep -q -x -F $'SearchPath\t*=-PATH\t[~];[INSTALLFOLDER]\tSearchPath' \
  || fail "PATH entry: $(msiinfo export "$signed/signed.msi" Environment)"

# --- Install
original_path=$(registry_value "$machine_environment" Path)
msiexec /i "$signed/signed.msi" || fail "installing failed"
expect_installed "$version"
output=$(wine "$installed_program" 255 0 0 100 0 0 255 50 | tr -d '\r')
[ -z "$output" ] || fail "the installed program printed: $output"
[ "$(registry_value "$colours" Z1_Red)" = 0xff ] && [ "$(registry_value "$colours" Z2_Blue)" = 0xff ] \
  || fail "the installed program stored no colours"
[ "$(registry_value "$run_record" Outcome)" = done ] || fail "the installed program recorded no run"
# status sees the registered task (Wine keeps no command, so its program
# could not be read), the event source and the stored colours.
output=$(wine "$installed_program" status | tr -d '\r')
grep -q -x 'Startup task: registered.*' <<<"$output" || fail "status: $output"
grep -q -x 'Startup task program: could not be read' <<<"$output" || fail "status: $output"
grep -q -x -F "Event source: registered, message file \"${installed_program//\\/\\\\}\"" <<<"$output" \
  || fail "status: $output"
grep -q -x 'Stored colours in the machine key: complete, logo 255 0 0 at 100 %, light bar 0 0 255 at 50 %' \
  <<<"$output" || fail "status: $output"
grep -q -x 'Last run recorded in the machine key: "[-0-9T:]*Z", .*; done' <<<"$output" || fail "status: $output"

# --- Repair: a task deleted by hand comes back (Wine has no msiexec /fa).
wine schtasks /delete /tn "$task" /f >/dev/null
[ ! -e "$registered_task" ] || fail "the task could not be deleted for the repair"
msiexec /i "$signed/signed.msi" REINSTALL=ALL REINSTALLMODE=omus || fail "repairing failed"
expect_installed "$version"
# A repair with the task file held open by a user goes on: a warning, and the
# text from memory registered.
hold_file "$folder/task.xml"
traced_msiexec /i "$signed/signed.msi" REINSTALL=ALL REINSTALLMODE=omus || fail "repairing with task.xml held failed"
release_file
grep -q 'Could not write the startup task file' "$workdir/msiexec-$runs.log" || fail "no warning of the held task file"
grep -q 'Description>Runs the Orvane VR Veltrin' <<<"$(registrations)" || fail "registered: $(registrations)"
# Wine traces the flags in hex: 22 is TASK_CREATE | TASK_IGNORE_REGISTRATION_TRIGGERS.
grep -q -F '...,22,' <<<"$(registrations)" || fail "not registered with TASK_CREATE, ignoring its triggers: $(registrations)"
expect_installed "$version"

# --- Another build of the same version (a product code of its own) replaces
# the installed one.
"$source/installer/build-msi.sh" "$version" "$program" "$actions" "$source/README.md" "$source/LICENSE" "$source/docs" \
  "$workdir/rebuilt.msi"
msiexec /i "$workdir/rebuilt.msi" || fail "installing another build of the same version failed"
expect_installed "$version"

# --- Upgrade
IFS=. read -r major minor patch <<<"$version"
higher="$major.$minor.$((patch + 1))"
"$source/installer/build-msi.sh" "$higher" "$program" "$actions" "$source/README.md" "$source/LICENSE" "$source/docs" \
  "$workdir/higher.msi"
msiexec /i "$workdir/higher.msi" || fail "upgrading failed"
expect_installed "$higher"

# --- Downgrade
! msiexec /i "$msi" || fail "the lower version was installed over the higher one"
expect_installed "$higher"
msiinfo export "$msi" LaunchCondition \
  | grep -q 'A newer version of VeltrinLighting is already installed. Uninstall it first to install this older one.' \
  || fail "no message for a refused downgrade"

# --- Uninstall, by the product code found through the upgrade code, as the
# README does for whatever version is installed.
products=$(wine cscript //nologo "$(winepath -w "$source/tests/package/related-products.js")" \
  "$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "UpgradeCode" { print $2 }')" | tr -d '\r')
[ "$(wc -l <<<"$products")" = 1 ] && [ -n "$products" ] || fail "installed products of the upgrade code: $products"
wine msiexec /x "$products" /qn >>"$workdir/msiexec.log" 2>&1 || fail "uninstalling failed"
expect_nothing_installed
[ ! -e "$folder" ] || fail "the folder is still there: $(ls -A "$folder")"
[ "$(registry_value "$colours" Z1_Red)" = 0xff ] || fail "the stored colours are gone"
output=$(wine "$program" status | tr -d '\r')
grep -q -x 'Startup task: not registered' <<<"$output" || fail "status after uninstalling: $output"

# --- ADDTOPATH=0 leaves the folder off the PATH.
msiexec /i "$msi" ADDTOPATH=0 || fail "installing with ADDTOPATH=0 failed"
expect_installed "$version" 0
msiexec /x "$msi" || fail "uninstalling failed"
expect_nothing_installed

# --- Rollback of a fresh install over a task that a user registered under
# the name, with the task file planted and held open: the install goes on
# past the file (a warning) and its rollback deletes the user's task rather
# than register it as LocalSystem. Wine keeps no principal, so every task
# found reads as not LocalSystem's.
task_file "Registered before" "$workdir/before.xml"
wine schtasks /create /xml "$(winepath -w "$workdir/before.xml")" /tn "$task" >/dev/null
cp "$msi" "$workdir/failing.msi"
msibuild "$workdir/failing.msi" -q "INSERT INTO \`Property\` (\`Property\`, \`Value\`)
  VALUES ('FAILING_CMD', 'C:\\windows\\system32\\cmd.exe')"
msibuild "$workdir/failing.msi" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`)
  VALUES ('FailForTest', $((50 + 0x400 + 0x800)), 'FAILING_CMD', '/c exit 1')"
msibuild "$workdir/failing.msi" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
  VALUES ('FailForTest', 6590)"
mkdir -p "$folder"
task_file Planted "$folder/task.xml"
hold_file "$folder/task.xml"
! traced_msiexec /i "$workdir/failing.msi" || fail "the failing package installed"
release_file
grep -q 'Could not write the startup task file' "$workdir/msiexec-$runs.log" || fail "no warning of the held task file"
grep -q 'A task not registered as LocalSystem is registered under the name' "$workdir/msiexec-$runs.log" \
  || fail "the log does not say that the task found was not kept"
grep -q 'Description>Runs the Orvane VR Veltrin' <<<"$(registrations)" || fail "registered: $(registrations)"
! grep -q -e 'Registered before' -e Planted <<<"$(registrations)" || fail "a user's task was registered: $(registrations)"
[ ! -e "$registered_task" ] || fail "the user's task is still registered: $(description "$registered_task")"
expect_nothing_installed
rm -rf "$folder"

# --- A task file that cannot be written (a folder of that name is in the
# way) is a warning: the install goes on and registers the task.
mkdir -p "$folder/task.xml"
msiexec /i "$msi" || fail "a task file that cannot be written failed the install"
grep -q 'Could not write the startup task file' "$workdir/msiexec-$runs.log" || fail "no warning of the task file"
[[ "$(description "$registered_task")" == "Runs the Orvane VR Veltrin"* ]] || fail "the task was not registered"
msiexec /x "$msi" || fail "uninstalling failed"
expect_nothing_installed
rm -rf "$folder"

# --- A junction in INSTALLFOLDER (a Unix link stands in for one): C:\Apps
# leads to C:\Program Files, as a user who made it could point it, and
# re-point it after the install. The check judges the final path, while PATH
# and the event source would get the path as given: refused, with both paths
# in the log, and nothing registered or left behind.
ln -s "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/Apps"
! msiexec /i "$msi" 'INSTALLFOLDER=C:\Apps\VeltrinLighting\' || fail "installed through a junction"
grep -q -F 'The install folder is not given as its final path: C:\Apps\VeltrinLighting\VeltrinLighting.exe leads to C:\Program Files\VeltrinLighting\VeltrinLighting.exe' \
  "$workdir/msiexec-$runs.log" || fail "the log does not name both paths"
expect_nothing_installed
[ ! -e "$folder/VeltrinLighting.exe" ] || fail "the program was left behind"
rm "$WINEPREFIX/drive_c/Apps"

# --- A folder that every user may change, with a task file planted in it:
# refused with the program's own reason, nothing registered or left behind.
# (Below C:\Tools, as a user could make it: a profile folder such as
# C:\users\Public is refused for being one.)
open_folder="$WINEPREFIX/drive_c/Tools/Veltrin"
mkdir -p "$open_folder"
chmod 777 "$open_folder"
task_file Planted "$open_folder/task.xml"
! msiexec /i "$msi" 'INSTALLFOLDER=C:\Tools\Veltrin\' || fail "installed into a folder users may change"
grep -q -x 'Users other than administrators can change C:\\Tools\\Veltrin' "$workdir/msiexec-$runs.log" \
  || fail "the log does not say why the folder was refused"
expect_nothing_installed
# Wine's rollback of an install also runs the package's removal of task.xml
# (and of the folder, once empty): the planted file may be gone, never
# replaced.
for file in VeltrinLighting.exe README.md LICENSE; do
  [ ! -e "$open_folder/$file" ] || fail "$file left behind in the open folder"
done
[ ! -e "$open_folder/task.xml" ] || [ "$(description "$open_folder/task.xml")" = Planted ] \
  || fail "the planted task file was replaced"

# --- An install refused by the location check, with a value left in the
# store for its product code (planted, so the key is not the one the package
# makes), leaves the administrator's task alone.
task_file "Registered by an administrator" "$workdir/admin.xml"
wine schtasks /create /xml "$(winepath -w "$workdir/admin.xml")" /tn "$task" >/dev/null
[ -e "$registered_task" ] || fail "the administrator's task could not be registered for the test"
product_code=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductCode" { print $2 }')
wine reg add "$kept_tasks" /v "$product_code" /t REG_SZ /d '' /f /reg:64 >/dev/null
! traced_msiexec /i "$msi" 'INSTALLFOLDER=C:\Tools\Veltrin\' || fail "installed into a folder users may change"
grep -q 'What an earlier run kept for undoing its change could not be forgotten' "$workdir/msiexec-$runs.log" \
  || fail "the log does not say that the store was refused"
[ "$(description "$registered_task")" = "Registered by an administrator" ] \
  || fail "the administrator's task is gone: $(description "$registered_task" 2>/dev/null)"
[ -z "$(registrations)" ] || fail "registered: $(registrations)"
wine schtasks /delete /tn "$task" /f >/dev/null
wine reg delete "$kept_tasks" /f /reg:64 >/dev/null
expect_nothing_installed

echo "signed, installed, repaired (also with task.xml held open), replaced by a same-version build, upgraded," \
  "downgrade refused, uninstalled, installed off the PATH, rolled back over a user's task, and refused a folder" \
  "users may change, a junction in the install folder, a planted task file and a planted kept value under Wine"
