#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, quietly.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
exec wine "$@"
