#!/usr/bin/env bash
# Makes every WMI locator that a program in PREFIX creates come from the
# simulated machine's DLL instead of Wine's own WMI.
# Usage: register-simulated-machine.sh PREFIX DLL
set -euo pipefail
export WINEPREFIX=$1
export WINEDEBUG=-all
dll=$(winepath -w "$2" 2>/dev/null)
for clsid in '{4590F811-1D3A-11D0-891F-00AA004B2E24}' '{CB8555CC-9128-11D1-AD9B-00C04FD8FDFF}'; do
  wine reg add "HKCR\\CLSID\\$clsid\\InprocServer32" /ve /d "$dll" /f >/dev/null 2>&1
done
