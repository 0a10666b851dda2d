#!/usr/bin/env bash
# Builds the fuzz targets with the native preset and runs each for SECONDS
# (default 60), starting from a copy of its seed corpus in the build tree, so
# that nothing new is ever written into fuzz/corpus/. Prints the executions of
# each target and any finding, and exits non-zero if a target found anything.
#
# Usage: scripts/fuzz.sh [SECONDS]
#   FUZZ_BUILD_DIR  build folder (default build/native, the preset's own)
#
# A finding is kept as BUILD/fuzz-findings/TARGET/crash-... (or leak-, oom-,
# timeout-); replay it with: BUILD/bin/TARGET FILE
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-build/native}
targets=(parser_fuzzer task_xml_fuzzer light_data_fuzzer run_record_fuzzer)

case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

mkdir -p "$build"
if ! cmake --preset native -B "$build" >"$build/fuzz-configure.log" 2>&1; then
  cat "$build/fuzz-configure.log"
  echo "fuzz.sh: configuring $build failed" >&2
  exit 1
fi
cmake --build "$build" --target fuzzers -j2 || { echo "fuzz.sh: build failed" >&2; exit 1; }

final_stat() {
  sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

found=()
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  log="$build/fuzz-logs/$target.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  # Inputs found in earlier runs stay; the seeds are copied in again.
  cp -n fuzz/corpus/"$target"/* "$corpus"/

  echo "=== $target: ${seconds} s"
  "$build/bin/$target" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?

  echo "$target: $(final_stat number_of_executed_units "$log") executions," \
    "$(final_stat average_exec_per_sec "$log") per second," \
    "$(ls "$corpus" | wc -l) inputs in the corpus"
  if [ $status -ne 0 ]; then
    found+=("$target")
    echo "$target: FINDING (exit status $status), last lines of $log:"
    grep -v -E '^#[0-9]+' "$log" | tail -n 40
    ls -1 "$findings"
  else
    echo "$target: no finding"
  fi
done

echo
if [ ${#found[@]} -eq 0 ]; then
  echo "No fuzz findings."
  exit 0
fi
echo "Fuzz findings in: ${found[*]}"
exit 1
