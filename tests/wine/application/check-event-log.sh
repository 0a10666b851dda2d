#!/usr/bin/env bash
# Writes an Error and a Warning event through the program's event log writer
# and checks what Wine saw: Wine keeps no event log, but its debug channels
# show the source that was registered, each event's type and id
# (fixme:advapi) and its text (err:eventlog or warn:eventlog), and that the
# source handle was given back.
# Usage: check-event-log.sh PREFIX EVENT_LOG_WRITER
set -euo pipefail
trap 'echo "check-event-log.sh: failed at line $LINENO" >&2' ERR
export WINEPREFIX=$1
writer=$2

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
