#!/usr/bin/env bash
# Builds and runs every test: the portable code natively under AddressSanitizer
# and UndefinedBehaviorSanitizer, then the Windows program and its tests under
# Wine. Installs what is missing first. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1

failed=()
run_step() {
  local name=$1
  shift
  echo "=== $name"
  if ! "$@"; then
    failed+=("$name")
  fi
}

run_step "native: build and test" cmake --workflow --preset native
run_step "native: fuzz each target for 15 s" scripts/fuzz.sh 15
run_step "windows: build and test under Wine" cmake --workflow --preset windows
run_step "static checks" scripts/static-checks.sh

echo
if [ ${#failed[@]} -eq 0 ]; then
  echo "All test steps passed."
  exit 0
fi
echo "Failed steps:"
printf '  %s\n' "${failed[@]}"
exit 1
