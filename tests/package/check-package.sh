#!/usr/bin/env bash
# Makes the release zip with cpack in WORKDIR and checks that it is named after
# the version, holds exactly the program, the README and the licence, and that
# the packed program runs.
# Usage: check-package.sh CPACK BUILD_DIR SOURCE_DIR VERSION PREFIX WORKDIR
set -euo pipefail
trap 'echo "check-package.sh: failed at line $LINENO" >&2' ERR
cpack=$1 build=$2 source=$3 version=$4 prefix=$5 workdir=$6
rm -rf "$workdir"
mkdir -p "$workdir"

if ! "$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$workdir" >"$workdir/cpack.log" 2>&1; then
  cat "$workdir/cpack.log"
  exit 1
fi
zip="$workdir/VeltrinLighting-$version-win64.zip"
[ -f "$zip" ] || { echo "no $zip; cpack made:"; ls "$workdir"; exit 1; }

listing=$(unzip -Z1 "$zip" | sort)
expected=$(printf '%s\n' LICENSE README.md VeltrinLighting.exe)
if [ "$listing" != "$expected" ]; then
  echo "the zip holds:"; echo "$listing"
  echo "expected:"; echo "$expected"
  exit 1
fi

unzip -q "$zip" -d "$workdir/unpacked"
cmp "$source/README.md" "$workdir/unpacked/README.md"
cmp "$source/LICENSE" "$workdir/unpacked/LICENSE"

output=$(WINEPREFIX=$prefix WINEDEBUG=-all wine "$workdir/unpacked/VeltrinLighting.exe" help | tr -d '\r')
grep -q '^USAGE:$' <<<"$output" || { echo "unexpected output: $output"; exit 1; }
echo "release package $(basename "$zip") holds the program, README.md and LICENSE"
