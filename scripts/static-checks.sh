#!/usr/bin/env bash
# Static checks of the program's sources (LightingApp/) and of the installer
# package's custom actions built from them (installer/custom_action/): that
# the program's includes run only downward through the layers
# (scripts/check-includes.sh), the layout against .clang-format, clang-tidy
# with .clang-tidy (every warning an error), and cppcheck. Prints every finding and exits non-zero if there is any.
#
# clang-tidy needs each source's compiler flags. The portable sources take
# them from the native preset's compile_commands.json; the Windows-only ones
# (those the native build does not compile) from the windows preset's, checked
# as Windows code with MinGW-w64's headers. A build folder without the file is
# configured with its preset first (configuring only; nothing is built but
# the generated header of the event log's message ids).
#
# Usage: scripts/static-checks.sh
#   STATIC_CHECKS_NATIVE_BUILD   native build folder (default build/native)
#   STATIC_CHECKS_WINDOWS_BUILD  windows build folder (default build/windows)
set -uo pipefail
cd "$(dirname "$0")/.."

native_build=${STATIC_CHECKS_NATIVE_BUILD:-build/native}
windows_build=${STATIC_CHECKS_WINDOWS_BUILD:-build/windows}
work=build/static-checks
jobs=2

for tool in clang-format clang-tidy cppcheck jq; do
  if ! command -v "$tool" >/dev/null; then
    echo "static-checks.sh: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done

failed=()
mkdir -p "$work"
folders=(LightingApp installer/custom_action)
mapfile -t sources < <(find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

echo "--- includes: only downward through the layers"
scripts/check-includes.sh || failed+=(includes)

echo "--- clang-format: layout of ${#sources[@]} files"
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "Run clang-format -i on the files above to fix their layout."
  failed+=(clang-format)
fi

# compile_commands.json of a build folder, configured with PRESET if missing.
compile_commands() {
  local preset=$1 build=$2
  if [ ! -f "$build/compile_commands.json" ]; then
    if ! cmake --preset "$preset" -B "$build" >"$work/configure-$preset.log" 2>&1; then
      cat "$work/configure-$preset.log" >&2
      echo "static-checks.sh: configuring $build with the $preset preset failed" >&2
      return 1
    fi
  fi
  echo "$build/compile_commands.json"
}

# Runs clang-tidy on every source of a compile database, two at a time.
run_clang_tidy() {
  local database=$1
  shift
  jq -r '.[].file' "$database/compile_commands.json" \
    | xargs -r -P "$jobs" -n 1 clang-tidy -p "$database" --quiet --warnings-as-errors='*' "$@" 2>&1 \
    | grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$'
  # The status of xargs: non-zero when any clang-tidy found something.
  return "${PIPESTATUS[1]}"
}

tidy_ok=yes
# The Windows sources include a header that the build generates (the event
# log's message ids): that one target is built, nothing else.
generated_headers() {
  if ! cmake --build "$windows_build" --target veltrin_event_messages >"$work/generate.log" 2>&1; then
    cat "$work/generate.log" >&2
    echo "static-checks.sh: generating the message ids in $windows_build failed" >&2
    return 1
  fi
}

if native_db=$(compile_commands native "$native_build") && windows_db=$(compile_commands windows "$windows_build") \
   && generated_headers; then
  # The program's sources once each: the fuzz targets' instrumented copies of
  # the same files are left out.
  mkdir -p "$work/native" "$work/windows"
  jq '[.[] | select((.file | contains("/LightingApp/") or contains("/installer/custom_action/"))
                  and (.directory | endswith("/fuzz") | not))]
      | unique_by(.file)' "$native_db" >"$work/native/compile_commands.json"
  jq --slurpfile native "$work/native/compile_commands.json" \
    '($native[0] | map(.file)) as $portable
     | [.[] | select((.file | contains("/LightingApp/") or contains("/installer/custom_action/"))
                    and (.file as $f | $portable | any(.[]; . == $f) | not))]
     | unique_by(.file)' "$windows_db" >"$work/windows/compile_commands.json"

  echo "--- clang-tidy: $(jq length "$work/native/compile_commands.json") portable sources"
  run_clang_tidy "$work/native" || tidy_ok=no

  echo "--- clang-tidy: $(jq length "$work/windows/compile_commands.json") Windows sources"
  if [ "$(jq length "$work/windows/compile_commands.json")" -gt 0 ]; then
    # Clang does not find the C++ library of the Debian MinGW-w64 compiler by
    # itself (its folder is named 12-posix, not a plain version); it is given
    # the folders that compiler searches for it.
    cross_compiler=$(jq -r '(.[0].command // .[0].arguments[0]) | split(" ")[0]' "$work/windows/compile_commands.json")
    library_args=(--extra-arg=-nostdinc++)
    while read -r folder; do
      library_args+=("--extra-arg=-isystem$folder")
    done < <("$cross_compiler" -x c++ -E -v /dev/null 2>&1 >/dev/null \
               | sed -n '/#include <...> search starts here:/,/End of search list./p' | grep '/include/c++')
    run_clang_tidy "$work/windows" "${library_args[@]}" || tidy_ok=no
  fi
else
  tidy_ok=no
fi
[ "$tidy_ok" = yes ] || failed+=(clang-tidy)

# cppcheck looks at all sources twice: as 64-bit Windows code, with its
# knowledge of the Windows API, and as 64-bit Linux code (the native build).
cppcheck_args=(--enable=warning,performance,portability,style --std=c++20 --language=c++ --inline-suppr
  --quiet --error-exitcode=1 -j "$jobs" -I LightingApp -I installer/custom_action
  --template='{file}:{line}:{column}: {severity}: {message} [{id}]\n{code}')
echo "--- cppcheck: ${folders[*]} as Windows code"
cppcheck_ok=yes
cppcheck "${cppcheck_args[@]}" --platform=win64 --library=windows \
  -D_WIN32 -DWIN32 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX "${folders[@]}" || cppcheck_ok=no
echo "--- cppcheck: ${folders[*]} as Linux code"
cppcheck "${cppcheck_args[@]}" --platform=unix64 "${folders[@]}" || cppcheck_ok=no
[ "$cppcheck_ok" = yes ] || failed+=(cppcheck)

echo
if [ ${#failed[@]} -eq 0 ]; then
  echo "Static checks passed."
  exit 0
fi
echo "Static checks with findings: ${failed[*]}"
exit 1
