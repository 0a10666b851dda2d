#!/usr/bin/env bash
# Runs VeltrinLighting.exe ARGS... under Wine on the simulated machine, then
# shows the firmware calls it made, the colours it stored and the events it
# wrote.
#
#   scripts/try.sh 255 0 0 100 0 0 255 50
#   MODEL=g1 scripts/try.sh default
#   VELTRIN_SIM_RETURN_CODE=2 scripts/try.sh 50                  # the firmware refuses
#   VELTRIN_SIM_FAIL_CIMV2_CONNECT=0x80041015 scripts/try.sh 50  # the model cannot be read
#
# The program runs from the prefix's C:\Program Files\VeltrinLighting\, as
# installed, so that --create-xml works wherever the checkout lies (below a
# folder that anyone can change, such as /tmp, the program would refuse).
#
# MODEL chooses the machine: g2 (default, "Orvane VR Veltrin G2"), g1
# ("Orvane VR Veltrin G1 Workstation"), or any model text (an unsupported
# machine). Any VELTRIN_SIM_* variable of the simulated machine passes through
# (see tools/simulated-machine/README.md). The prefix build/try-prefix keeps
# the registry between runs, so a later run without arguments restores what
# an earlier one set; delete the folder to start afresh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. cmake/utf8-locale.sh

scripts/install-deps.sh
# The first run configures and builds from nothing, which takes minutes; later
# runs only build what changed.
if [ ! -f build/windows/CMakeCache.txt ]; then
  echo "Configuring the Windows build (once)..."
fi
cmake --preset windows >/dev/null
if [ ! -f build/windows/bin/VeltrinLighting.exe ]; then
  echo "Building the program and the simulated machine (the first time takes a few minutes)..."
fi
cmake --build --preset windows --target VeltrinLighting simulated_machine >/dev/null

export WINEPREFIX="$root/build/try-prefix" WINEDEBUG=-all
if [ ! -d "$WINEPREFIX" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (once, up to a minute)..."
  wineboot -i >/dev/null 2>&1
  # wineboot's own server must be gone before anything else starts.
  wineserver -w
fi
# A persistent wineserver makes each Wine process start in a fraction of a
# second. It can only start once any earlier server of the prefix has gone;
# one still running was started by someone else, who may keep it for long.
wineserver -w &
waiting=$!
for _ in 1 2 3 4 5; do
  kill -0 "$waiting" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$waiting" 2>/dev/null; then
  echo "Waiting for the Wine server of $WINEPREFIX to end: another scripts/try.sh or"
  echo "a Wine program is using that prefix. If nothing is, stop it with"
  echo "  WINEPREFIX=$WINEPREFIX wineserver -k"
fi
wait "$waiting"
# In the foreground: it returns once the server listens, so that the first
# Wine process below does not start a short-lived server of its own.
setsid wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
cmake/register-simulated-machine.sh "$WINEPREFIX" "$root/build/windows/bin/simulated-machine.dll"
installed="$WINEPREFIX/drive_c/Program Files/VeltrinLighting"
mkdir -p "$installed"
cp "$root/build/windows/bin/VeltrinLighting.exe" "$installed/"

case "${MODEL:-g2}" in
  g2|G2) export VELTRIN_SIM_MODEL="Orvane VR Veltrin G2" ;;
  g1|G1) export VELTRIN_SIM_MODEL="Orvane VR Veltrin G1 Workstation" ;;
  *) export VELTRIN_SIM_MODEL="$MODEL" ;;
esac
record=$(mktemp --suffix=.jsonl)
export VELTRIN_SIM_RECORD
VELTRIN_SIM_RECORD=$(winepath -w "$record")

echo "Machine: $VELTRIN_SIM_MODEL"
echo "Running: VeltrinLighting.exe $*"
echo "----- program output -----"
# Wine keeps no event log; its debug channels show each event's id and
# strings on standard error.
events=$(mktemp)
set +e
WINEDEBUG=-all,fixme+advapi,err+eventlog,warn+eventlog wine "$installed/VeltrinLighting.exe" "$@" 2>"$events" \
  | tr -d '\r'
status=${PIPESTATUS[0]}
set -e
echo "----- exit code $status -----"

echo
echo "Firmware calls:"
if [ ! -s "$record" ]; then
  echo "  none"
else
  jq -r '
    def prop(n): (.properties[] | select(.name == n));
    def code: if .returnCode == null or .returnCode == 0 then "" else ", return code \(.returnCode)" end;
    (prop("CommandType").value) as $type
    | (prop("orvBData").elements) as $d
    | if $type == 3 then
        "  CommandType 3 (zone colours): logo \($d[1]),\($d[2]),\($d[3])  light bar \($d[4]),\($d[5]),\($d[6])  -> \(.result)\(code)"
      elif $type == 5 then
        "  CommandType 5 (brightness): level \($d[127])  -> \(.result)\(code)"
      else
        "  CommandType \($type): first bytes \($d[0:8])  -> \(.result)\(code)"
      end' "$record"
fi
rm -f "$record"

echo
show_stored() {
  local key="$1\\SOFTWARE\\Orvane\\VeltrinLighting"
  declare -A value=()
  local name type data
  while read -r name type data; do
    [ "$type" = REG_DWORD ] && value[$name]=$((data))
  done < <(wine reg query "$key" /reg:64 2>/dev/null | tr -d '\r')
  [ ${#value[@]} -gt 0 ] || return 0
  echo "Stored colours in $key:"
  local zone label line part
  for zone in Z1 Z2; do
    if [ $zone = Z1 ]; then label="logo     "; else label="light bar"; fi
    line="  $label"
    for part in Red Green Blue Bright; do
      line+="  ${part,,} ${value[${zone}_$part]:--}"
    done
    echo "$line"
  done
}
stored=$(show_stored HKLM; show_stored HKCU)
echo "${stored:-No colours stored.}"

echo
echo "Events (the strings as Wine shows them):"
written=0
while IFS= read -r line; do
  case "$line" in
    *fixme:advapi:ReportEventW\ \(*)
      IFS=, read -r _ type _ id _ <<<"${line#*ReportEventW (}"
      if [ "$type" = 0x0002 ]; then type=Warning; else type=Error; fi
      echo "  Event ID $((id & 0xffff)) ($type)"
      written=$((written + 1)) ;;
    *:eventlog:ReportEventW\ L*)
      echo "    ${line#*:eventlog:ReportEventW }" ;;
  esac
done < <(tr -d '\r' <"$events")
[ "$written" -gt 0 ] || echo "  none"
rm -f "$events"
