#!/usr/bin/env bash
# Runs a copy of the program named lumière.exe on a terminal (a pseudo-terminal
# from script(1), which Wine presents to the program as a console) and checks
# that the name and all of the usage text after it appear as they are.
# Usage: check-console-output.sh PREFIX PROGRAM WORKDIR
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all LANG=C.UTF-8
program=$2
workdir=$3
rm -rf "$workdir"
mkdir -p "$workdir"
copy="$workdir/lumière.exe"
cp "$program" "$copy"

# Terminal control sequences and carriage returns are the console's, not the program's.
screen=$(script -qec "wine '$copy' help" /dev/null | sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r')

status=0
for expected in "lumière.exe (<r g b br>) [<r g b br>]" "    lumière.exe 100 0" "    lumière.exe -h" \
                "See the Readme for full documentation."; do
  if ! grep -qxF -- "$expected" <<<"$screen"; then
    echo "missing on the console: $expected"
    status=1
  fi
done
[ $status -eq 0 ] && echo "the console shows the name and the whole usage text"
rm -rf "$workdir"
exit $status
