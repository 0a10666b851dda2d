#!/usr/bin/env bash
# Creates or tears down a throwaway Wine prefix for one test run.
#   wine-prefix.sh setup PREFIX [SIMULATED_MACHINE_DLL]
#   wine-prefix.sh teardown PREFIX
# setup makes a fresh prefix, keeps its wineserver running (a Wine process then
# starts in about 0.1 s instead of 3 s) and, given the simulated machine's DLL,
# registers it in place of the WMI locators. teardown stops that wineserver;
# it touches no other Wine process.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/utf8-locale.sh"
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all

case "$action" in
  setup)
    if [ -d "$WINEPREFIX" ]; then
      wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # The persistent server can only start once wineboot's own server has
    # gone (otherwise it exits at once). It is waited for: the command
    # returns once the server it leaves behind listens (status 2 when another
    # server runs). Started in the background instead, a Wine process that
    # comes first starts a server of its own, which Debian's wrapper makes
    # exit as soon as no process is left (-p0); the prefix then gets a new
    # server and session between commands and forgets its keys' access
    # lists. Its output goes nowhere, so that ctest does not wait for it.
    wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    if [ $# -ge 3 ]; then
      "$here/register-simulated-machine.sh" "$WINEPREFIX" "$3"
    fi
    ;;
  teardown)
    wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 setup|teardown PREFIX [DLL]" >&2
    exit 2
    ;;
esac
