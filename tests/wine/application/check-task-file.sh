#!/usr/bin/env bash
# Writes the startup task file with the program, then checks that xmllint
# accepts it and that the Task Scheduler registers it. The program runs from a
# copy in the prefix's C:\Program Files, as installed: the build tree may lie
# below a folder that anyone can change (such as /tmp), where it refuses.
# Usage: check-task-file.sh PREFIX PROGRAM WORKDIR
set -euo pipefail
trap 'echo "check-task-file.sh: failed at line $LINENO" >&2' ERR
export WINEPREFIX=$1 WINEDEBUG=-all
program=$2
workdir=$3
rm -rf "$workdir"
mkdir -p "$workdir/Tools & Co"
file="$workdir/Tools & Co/task.xml"

installed="$WINEPREFIX/drive_c/Program Files/VeltrinLighting/task-file-check"
mkdir -p "$installed"
cp "$program" "$installed/VeltrinLighting.exe"
output=$(wine "$installed/VeltrinLighting.exe" --create-xml "$(winepath -w "$file")" | tr -d '\r')
case "$output" in
  "Startup task file written: "*) ;;
  *) echo "unexpected output: $output"; exit 1 ;;
esac

head -c 2 "$file" | od -An -tx1 | grep -q 'ff fe' || { echo "no UTF-16LE byte-order mark"; exit 1; }
xmllint --noout "$file"

# The Task Scheduler service runs in a prefix of its own, with Wine's usual
# wineserver: under the shared test prefix's persistent wineserver, Wine's
# services do not start (each attempt times out).
export WINEPREFIX="$workdir/scheduler-prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
"$(dirname "$0")/../../../cmake/start-task-scheduler.sh"
name="VeltrinLightingCheck$$"
wine schtasks /create /xml "$(winepath -w "$file")" /tn "$name" >/dev/null
wine schtasks /delete /tn "$name" /f >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
echo "task file accepted by xmllint and schtasks"
