#!/usr/bin/env bash
# What reaches the Application log. Wine keeps no event log, but its debug
# channels show the source that was registered, each event's type, id and
# user (fixme:advapi; the user only as the address of the SID, or zeros for
# none), each insertion string (err:eventlog or warn:eventlog), and that the
# source handle was given back.
# First the program's event log writer on its own, then the program on the
# simulated machine, one run for each kind of failure it can be made to meet:
# each leaves the event of its kind with what failed; runs that succeed or
# answer on the console alone leave none, also right after a failed one.
# Usage: check-event-log.sh PREFIX EVENT_LOG_WRITER PROGRAM
set -euo pipefail
trap 'echo "check-event-log.sh: failed at line $LINENO" >&2' ERR
export WINEPREFIX=$1
writer=$2
program=$3
channels=-all,fixme+advapi,err+eventlog,warn+eventlog

# The events in Wine's output: a line "event ID type TYPE user given|none"
# for each, followed by its strings as Wine quotes them.
summary() {
  tr -d '\r' | awk '
    /fixme:advapi:ReportEventW \(/ {
      split(substr($0, index($0, "(") + 1), field, ",")
      print "event " field[4] " type " field[2] " user " (field[5] ~ /^0+$/ ? "none" : "given")
    }
    /:eventlog:ReportEventW L"/ { sub(/.*:eventlog:ReportEventW /, "  "); print }'
}

fail() { echo "$1"; echo "Wine showed:"; echo "$2"; exit 1; }

seen=$(WINEDEBUG=$channels wine "$writer" warning 'first "string"' second 2>&1 >/dev/null | tr -d '\r')
grep -q -F 'RegisterEventSourceW ((null),L"VeltrinLighting")' <<<"$seen" || fail "no source" "$seen"
grep -q -F 'DeregisterEventSource' <<<"$seen" || fail "the source was not given back" "$seen"
[ "$(summary <<<"$seen")" = 'event 0x80000002 type 0x0002 user given
  L"first \"string\""
  L"second"' ] || fail "the writer's warning" "$seen"
echo "The writer's events carry their type, id, user and strings in order"

restore='L"Restoring the stored colours (run without arguments)"'
failed_check='PlatformCheck::init: info exception: PlatformCheck::connectWMINamespace: unspecified error'

# Both registry roots hold a REG_DWORD too long to read, which the program
# neither reads nor overwrites: the colours cannot be stored.
break_registry() {
  local file
  file=$(mktemp --suffix=.reg)
  printf 'Windows Registry Editor Version 5.00\r\n' >"$file"
  for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    printf '\r\n[%s\\SOFTWARE\\Orvane\\VeltrinLighting]\r\n"Z1_Red"=hex(4):01,00,00,00,00,00,00,00\r\n' "$root" >>"$file"
  done
  WINEDEBUG=-all wine reg import "$(winepath -w "$file")" /reg:64 >/dev/null 2>&1
  rm -f "$file"
}
clear_registry() {
  for root in HKLM HKCU; do
    WINEDEBUG=-all wine reg delete "$root\\SOFTWARE\\Orvane" /f /reg:64 >/dev/null 2>&1 || true
  done
}

# check NAME SETUP EXPECTED ENV... -- ARGS...: runs the program after SETUP
# (a function, or :) and compares the events it wrote with EXPECTED.
check() {
  local name=$1 setup=$2 expected=$3
  shift 3
  local environment=()
  while [ "$1" != -- ]; do environment+=("$1"); shift; done
  shift
  clear_registry
  $setup
  local output
  output=$(env "${environment[@]}" WINEDEBUG=$channels wine "$program" "$@" 2>&1 >/dev/null | tr -d '\r')
  [ "$(summary <<<"$output")" = "$expected" ] || fail "$name: expected
$expected" "$output"
}

check "refused" : 'event 0xc0000005 type 0x0001 user given
  L"The request \"255 0 0 100\""
  L"2"
  L"Request Failed\r\n"' VELTRIN_SIM_RETURN_CODE=2 -- 255 0 0 100
check "firmware interface missing" : 'event 0xc0000004 type 0x0001 user given
  L"The request \"50\""
  L"GetObject orvBIntM"
  L"0x80041002"
  L"Request Failed\r\n"' VELTRIN_SIM_FAIL_WMI_GET_CLASS=0x80041002 -- 50
check "firmware namespace refused" : 'event 0xc0000004 type 0x0001 user given
  L"The request \"50\""
  L"GetObject orvBIntM"
  L"0x8004100E"
  L"Request Failed\r\n"' VELTRIN_SIM_FAIL_WMI_GET_CLASS=0x8004100E -- 50
check "locator unavailable" : "event 0xc0000004 type 0x0001 user given
  $restore
  L\"CoCreateInstance WbemAdministrativeLocator\"
  L\"0x80040154\"
  L\"Request Failed\\r\\n\"" VELTRIN_SIM_FAIL_WMI_LOCATOR=0x80040154 --
check "platform check" : "event 0xc0000003 type 0x0001 user given
  $restore
  L\"$failed_check\"
  L\"Platform check failed: $failed_check\\r\\nRequest Failed\\r\\n\"" VELTRIN_SIM_FAIL_CIMV2_CONNECT=0x80041001 --
check "unsupported restore" : "event 0x80000002 type 0x0002 user given
  $restore
  L\"Orvane VR Veltrin G3\"" "VELTRIN_SIM_MODEL=Orvane VR Veltrin G3" --
check "refused and not stored" break_registry "event 0xc0000005 type 0x0001 user given
  $restore
  L\"-1\"
  L\"Request Failed\\r\\n\"
event 0xc0000006 type 0x0001 user given
  $restore
  L\"Request Failed\\r\\n\"" VELTRIN_SIM_RETURN_CODE=-1 --
# A policy of seven values: unusable, so the run goes on without it and a
# restore (not a request) says so in a Warning.
policy_key='HKLM\SOFTWARE\Policies\Orvane\VeltrinLighting'
seven_policy_values() {
  for name in Z1_Red Z1_Green Z1_Blue Z1_Bright Z2_Red Z2_Green Z2_Blue; do
    WINEDEBUG=-all wine reg add "$policy_key" /v "$name" /t REG_DWORD /d 0 /f /reg:64 >/dev/null
  done
}
check "unusable policy" seven_policy_values "event 0x80000007 type 0x0002 user given
  $restore
  L\"Z2_Bright is missing\"" --
check "unusable policy, a request" seven_policy_values '' -- 50
WINEDEBUG=-all wine reg delete "$policy_key" /f /reg:64 >/dev/null
echo "Each kind of failure leaves its event with what failed"

check "restored" : '' --
check "help" : '' -- help
check "invalid arguments after a failed check" : '' VELTRIN_SIM_FAIL_CIMV2_CONNECT=0x80041001 -- 1 2 3
check "unsupported lighting request" : '' VELTRIN_SIM_MODEL=Wine -- 50
# A good run after a refused or failed one writes nothing of the earlier
# failure again.
refused_run() { VELTRIN_SIM_RETURN_CODE=2 WINEDEBUG=-all wine "$program" 255 0 0 100 >/dev/null 2>&1; }
failed_call_run() { VELTRIN_SIM_FAIL_WMI_GET_CLASS=0x80041002 WINEDEBUG=-all wine "$program" 50 >/dev/null 2>&1; }
check "colours after a refused run" refused_run '' -- 0 255 0 100
check "restore after a failed firmware call" failed_call_run '' --
clear_registry
echo "Runs that succeed or answer on the console alone leave no event, also after a failed one"
