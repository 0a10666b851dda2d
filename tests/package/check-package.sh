#!/usr/bin/env bash
# Builds the release (the "release" target: the zip and the msi, each with a
# checksum file) and checks that both are named after the version, that the
# checksum files hold the files' SHA-256 in sha256sum's format, that the zip
# holds exactly the program, the README, the guides (docs/), the licence, the
# policy template and the deployment scripts (deploy/), that every link of
# the README and the guides leads to a file in the zip, and that the packed
# program runs. The installer is checked by check-installer.sh.
# Usage: check-package.sh CMAKE BUILD_DIR SOURCE_DIR VERSION PREFIX WORKDIR
set -euo pipefail
trap 'echo "check-package.sh: failed at line $LINENO" >&2' ERR
cmake=$1 build=$2 source=$3 version=$4 prefix=$5 workdir=$6
rm -rf "$workdir"
mkdir -p "$workdir"

if ! "$cmake" --build "$build" --target release >"$workdir/build.log" 2>&1; then
  cat "$workdir/build.log"
  exit 1
fi
name="VeltrinLighting-$version-win64"
for file in "$name.zip" "$name.msi"; do
  [ -f "$build/$file" ] || { echo "no $file in $build"; exit 1; }
  # The checksum file names the file alone, so it checks in any folder that
  # holds both.
  grep -q -E "^[0-9a-f]{64}  $file\$" "$build/$file.sha256" || { echo "bad $file.sha256:"; cat "$build/$file.sha256"; exit 1; }
  (cd "$build" && sha256sum --quiet -c "$file.sha256")
done
zip="$build/$name.zip"

listing=$(unzip -Z1 "$zip" | sort)
guides=$(cd "$source" && find docs -type f -name '*.md' | sort)
scripts=$(cd "$source" && find deploy -type f | sort)
expected=$( (printf '%s\n' LICENSE PolicyDefinitions/ PolicyDefinitions/VeltrinLighting.admx PolicyDefinitions/en-US/ \
  PolicyDefinitions/en-US/VeltrinLighting.adml README.md VeltrinLighting.exe docs/ deploy/; echo "$guides"
  echo "$scripts") | sort)
if [ "$listing" != "$expected" ]; then
  echo "the zip holds:"; echo "$listing"
  echo "expected:"; echo "$expected"
  exit 1
fi

unzip -q "$zip" -d "$workdir/unpacked"
cmp "$source/README.md" "$workdir/unpacked/README.md"
cmp "$source/LICENSE" "$workdir/unpacked/LICENSE"
cmp "$source/PolicyDefinitions/VeltrinLighting.admx" "$workdir/unpacked/PolicyDefinitions/VeltrinLighting.admx"
for file in $guides $scripts; do cmp "$source/$file" "$workdir/unpacked/$file"; done
"$source/tests/package/check-links.sh" "$workdir/unpacked" README.md $guides

output=$(WINEPREFIX=$prefix WINEDEBUG=-all wine "$workdir/unpacked/VeltrinLighting.exe" help | tr -d '\r')
grep -q '^USAGE:$' <<<"$output" || { echo "unexpected output: $output"; exit 1; }
echo "release $name: zip with the program, README.md, the guides, LICENSE, the policy template and the" \
  "deployment scripts, msi, checksums"
