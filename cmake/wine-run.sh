#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, quietly.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
. "$(dirname "$0")/utf8-locale.sh"
export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
exec wine "$@"
