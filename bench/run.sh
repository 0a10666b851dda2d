#!/usr/bin/env bash
# Measures, under Wine on the simulated machine, the wall time of the program
# against a reference program that makes the same platform calls and nothing
# else, and prints the ratios. See bench/README.md for how to read the output.
#
#   bench/run.sh [REPETITIONS]      (default 200)
#
# Environment: BENCH_BUILD_DIR (default build/bench-windows), BENCH_PREFIX
# (default build/bench-prefix, created afresh on every run), BENCH_PHASE_RUNS
# (default 50: runs of the reference and of the program's code that report
# the time of each step).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

repetitions=${1:-200}
phase_runs=${BENCH_PHASE_RUNS:-50}
build=${BENCH_BUILD_DIR:-$root/build/bench-windows}
prefix=${BENCH_PREFIX:-$root/build/bench-prefix}
bin=$build/bin
results=$build/bench-results
mkdir -p "$results"
samples=$results/samples.tsv

echo "Load before: $(uptime)"
echo "Building in $build ..."
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target VeltrinLighting simulated_machine bench_reference bench_empty bench_program_steps \
  >/dev/null

program=$bin/VeltrinLighting.exe
reference=$bin/bench_reference.exe
empty=$bin/bench_empty.exe
steps=$bin/bench_program_steps.exe

# Both programs must do the same work on the same machine: a healthy
# second-generation workstation that records nothing.
unset $(compgen -v VELTRIN_SIM_) 2>/dev/null || true
export WINEPREFIX=$prefix WINEDEBUG=-all
echo "Creating the Wine prefix $WINEPREFIX ..."
if [ -d "$WINEPREFIX" ]; then
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# A persistent wineserver for this prefix only, so that each run measures a
# process start and not a server start; stopped when the script ends. The
# server wineboot started has to go first: while one runs, another refuses
# to start.
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT
# In the foreground: it returns once the server listens, so that the first
# Wine process below does not start a short-lived server of its own.
if ! setsid wineserver -p </dev/null >/dev/null 2>&1; then
  echo "Could not start a persistent wineserver for $WINEPREFIX." >&2
  exit 1
fi
cmake/register-simulated-machine.sh "$WINEPREFIX" "$bin/simulated-machine.dll"

# Checks that the reference does the program's work: the same firmware call,
# byte for byte, and the same stored values.
stored_values() {
  wine reg query 'HKLM\SOFTWARE\Orvane\VeltrinLighting' /reg:64 | tr -d '\r' | sort
}
check_same_work() {
  local label=$1 reference_mode=$2
  shift 2
  local dir by_program by_reference
  dir=$(mktemp -d)
  VELTRIN_SIM_RECORD=$(winepath -w "$dir/program.jsonl") wine "$program" "$@" >/dev/null
  by_program=$(stored_values)
  VELTRIN_SIM_RECORD=$(winepath -w "$dir/reference.jsonl") wine "$reference" "$reference_mode" >/dev/null
  by_reference=$(stored_values)
  if [ ! -s "$dir/program.jsonl" ] || ! cmp -s "$dir/program.jsonl" "$dir/reference.jsonl" \
     || [ "$by_program" != "$by_reference" ]; then
    echo "The reference does not do what the program does for $label; not measuring." >&2
    rm -rf "$dir"
    exit 1
  fi
  rm -rf "$dir"
  echo "Checked: for $label the reference makes the same firmware call and stores the same values."
}
check_same_work "a colour request" colour 255 0 0 100
# The colour request above left stored values, which this run restores.
check_same_work "a run without arguments" restore

# The series, measured in turn within every round.
names=(program_colour reference_colour program_restore reference_restore program_help reference_model
       reference_nothing program_nothing empty)
run_series() {
  case $1 in
    program_colour) wine "$program" 255 0 0 100 ;;
    reference_colour) wine "$reference" colour ;;
    program_restore) wine "$program" ;;
    reference_restore) wine "$reference" restore ;;
    program_help) wine "$program" help ;;
    reference_model) wine "$reference" model ;;
    reference_nothing) wine "$reference" nothing ;;
    program_nothing) wine "$steps" nothing ;;
    empty) wine "$empty" ;;
  esac
}

# Sets elapsed to the wall time of one run in microseconds, read from the
# shell's clock rather than a forked process, or to nothing when the run
# failed: failed runs are counted and listed, with their exit code and
# standard error, in $failures, and left out of the figures.
failures=$results/failed-runs.txt
: >"$failures"
failed_runs=0
time_run() {
  local start=$EPOCHREALTIME status=0
  run_series "$1" >/dev/null 2>"$results/stderr.txt" || status=$?
  local end=$EPOCHREALTIME
  elapsed=$(( ${end//[.,]/} - ${start//[.,]/} ))
  if [ "$status" -ne 0 ]; then
    { echo "$(date +%T) $1: exit code $status after $elapsed us"; cat "$results/stderr.txt"; } >>"$failures"
    failed_runs=$((failed_runs + 1))
    elapsed=
  fi
}

echo "Warming up ..."
for _ in 1 2 3; do
  for name in "${names[@]}"; do time_run "$name"; done
done

count=${#names[@]}
echo "Measuring: $repetitions rounds of ${count} runs, the order rotating every round ..."
printf 'round\tseries\tmicroseconds\n' >"$samples"
for ((round = 0; round < repetitions; ++round)); do
  for ((k = 0; k < count; ++k)); do
    # Rotating the start cancels drift and any effect of what ran just before.
    i=$(( (round + k) % count ))
    time_run "${names[i]}"
    if [ -n "$elapsed" ]; then
      printf '%d\t%s\t%d\n' "$round" "${names[i]}" "$elapsed" >>"$samples"
    fi
  done
done

echo "Timing the steps inside the programs ($phase_runs runs of each) ..."
for name in reference program steps one-apartment; do : >"$results/phases-$name.txt"; done
for ((run = 0; run < phase_runs; ++run)); do
  wine "$reference" colour --phases 2>>"$results/phases-reference.txt" >/dev/null || failed_runs=$((failed_runs + 1))
  wine "$steps" program 2>>"$results/phases-program.txt" >/dev/null || failed_runs=$((failed_runs + 1))
  wine "$steps" steps 2>>"$results/phases-steps.txt" >/dev/null || failed_runs=$((failed_runs + 1))
  wine "$steps" steps-one-apartment 2>>"$results/phases-one-apartment.txt" >/dev/null || failed_runs=$((failed_runs + 1))
done
load_after=$(uptime)

echo
echo "Wall time under Wine, in milliseconds ($repetitions rounds):"
awk -F'\t' -f "$root/bench/summary.awk" "$samples"

echo
echo "Inside the process, from wmain to its return: median of each step over $phase_runs runs."
echo "The reference (bench_reference colour):"
awk -f "$root/bench/phases.awk" "$results/phases-reference.txt"
echo "The program's code for 255 0 0 100 as main.cpp runs it (bench_program_steps program):"
awk -f "$root/bench/phases.awk" "$results/phases-program.txt"
echo "The same split into its parts (bench_program_steps steps):"
awk -f "$root/bench/phases.awk" "$results/phases-steps.txt"
echo "The same in one COM apartment held for the whole run (bench_program_steps steps-one-apartment):"
awk -f "$root/bench/phases.awk" "$results/phases-one-apartment.txt"

echo
stripped=$(mktemp)
x86_64-w64-mingw32-strip -o "$stripped" "$program"
echo "Size of VeltrinLighting.exe: $(stat -c %s "$program") bytes ($(stat -c %s "$stripped") stripped);" \
     "bench_reference.exe: $(stat -c %s "$reference") bytes"
rm -f "$stripped"
echo "Load after: $load_after"
if [ "$failed_runs" -gt 0 ]; then
  echo "Failed runs, left out of the figures: $failed_runs (see $failures)"
fi
echo "Samples: $samples"
