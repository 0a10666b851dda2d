#!/usr/bin/env bash
# Writes an Error and a Warning event through the program's event log writer
# and checks what Wine saw: Wine keeps no event log, but its debug channels
# show the source that was registered, each event's type and id
# (fixme:advapi) and its text (err:eventlog or warn:eventlog), and that the
# source handle was given back.
# Then runs the program on the simulated machine and checks which runs leave
# an event: a refused or unidentified lighting request an Error, a restore on
# an unsupported model a Warning, a successful run and help none.
# Usage: check-event-log.sh PREFIX EVENT_LOG_WRITER PROGRAM
set -euo pipefail
trap 'echo "check-event-log.sh: failed at line $LINENO" >&2' ERR
export WINEPREFIX=$1
writer=$2
program=$3

# Standard error of one writer run, with the channels that show the event.
events() {
  WINEDEBUG=-all,fixme+advapi,err+eventlog,warn+eventlog wine "$writer" "$@" 2>&1 >/dev/null | tr -d '\r'
}

expect() {
  local seen=$1 pattern=$2
  grep -q -F -e "$pattern" <<<"$seen" || { echo "missing: $pattern"; echo "Wine showed:"; echo "$seen"; exit 1; }
}

seen=$(events error 'Request: 255 0 0 "100"
Request Failed')
expect "$seen" 'RegisterEventSourceW ((null),L"VeltrinLighting")'
expect "$seen" ',0x0001,0x0000,0xc0000001,'
expect "$seen" 'err:eventlog:ReportEventW L"Request: 255 0 0 \"100\"\nRequest Failed"'
expect "$seen" 'DeregisterEventSource'

seen=$(events warning 'This hardware is not compatible.')
expect "$seen" ',0x0002,0x0000,0x80000002,'
expect "$seen" 'warn:eventlog:ReportEventW L"This hardware is not compatible."'
echo "Error and Warning events carry their type, id and text"

# Standard error of one program run, with the event channels only.
program_events() {
  env "$@" WINEDEBUG=-all,err+eventlog,warn+eventlog wine "$program" "${args[@]}" 2>&1 >/dev/null | tr -d '\r'
}
count() { grep -c -F -e "$1" <<<"$2" || true; }

args=(255 0 0 100)
seen=$(program_events VELTRIN_SIM_RETURN_CODE=2)
[ "$(count 'eventlog:ReportEventW' "$seen")" = 1 ] || { echo "a refused request wants one event:"; echo "$seen"; exit 1; }
expect "$seen" 'err:eventlog:ReportEventW L"The request \"255 0 0 100\" failed.\r\n\r\nThe program showed:\r\nRequest Failed\r\n"'

args=()
seen=$(program_events VELTRIN_SIM_FAIL_CIMV2_CONNECT=0x80041001)
[ "$(count 'eventlog:ReportEventW' "$seen")" = 1 ] || { echo "a failed check wants one event:"; echo "$seen"; exit 1; }
expect "$seen" 'err:eventlog:ReportEventW L"Restoring the stored colours (run without arguments) failed.\r\n\r\nThe program showed:\r\nPlatform check failed: PlatformCheck::init: info exception: PlatformCheck::connectWMINamespace: unspecified error\r\nRequest Failed\r\n"'

seen=$(program_events VELTRIN_SIM_MODEL=Wine)
expect "$seen" 'warn:eventlog:ReportEventW L"Restoring the stored colours (run without arguments) found a machine that is not supported.\r\n\r\nThe program showed:\r\n\r\nThis hardware is not compatible.\r\n'

for run in "" help; do
  args=($run)
  seen=$(program_events VELTRIN_SIM_MODEL="Orvane VR Veltrin G2")
  [ "$(count 'eventlog:ReportEventW' "$seen")" = 0 ] || { echo "'$run' wants no event:"; echo "$seen"; exit 1; }
done
wine reg delete 'HKLM\SOFTWARE\Orvane' /f /reg:64 >/dev/null 2>&1 || true
echo "The program logs failed lighting requests and unsupported restores, and nothing else"
