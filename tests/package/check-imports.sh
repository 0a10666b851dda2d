#!/usr/bin/env bash
# Checks that the shipped program imports only DLLs that Windows always maps
# from System32, whatever lies beside the program. Any other DLL (a C++ or C
# runtime such as libstdc++-6.dll or VCRUNTIME140.dll, or a system DLL that is
# looked up by the usual search) is first looked for in the program's own
# folder, and one planted there runs before wmain, as LocalSystem when the
# startup task starts the program.
# Usage: check-imports.sh OBJDUMP PROGRAM
set -euo pipefail
objdump=$1 program=$2

# The loader maps ntdll itself; the rest are entries of Windows 10 and 11's
# KnownDLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs).
# Kept to those sure to be there on both: extend it only after checking that
# key.
known=(ntdll advapi32 combase comdlg32 gdi32 imagehlp imm32 kernel32 msvcrt ole32 oleaut32 psapi rpcrt4 sechost
  setupapi shell32 shlwapi user32 ws2_32)

imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr -d '\r')
# Every program imports KERNEL32: without it, objdump read no import table,
# and an empty list would pass.
grep -qix kernel32.dll <<<"$imports" || { echo "no import of KERNEL32.dll found in $program:"; echo "$imports"; exit 1; }

unknown=()
while read -r dll; do
  name=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.[dD][lL][lL]}")
  [[ " ${known[*]} " == *" $name "* ]] || unknown+=("$dll")
done <<<"$imports"
if [ ${#unknown[@]} -gt 0 ]; then
  echo "$program imports DLLs that Windows may load from the program's folder: ${unknown[*]}"
  exit 1
fi
echo "imports only known DLLs: $(tr '\n' ' ' <<<"$imports")"
