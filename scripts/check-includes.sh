#!/usr/bin/env bash
# Checks that the program's includes run only downward through its layers.
# A file in LightingApp/FOLDER/ may include a header of its own folder or of a
# folder on a lower line below; never one on its own line or above. Every
# folder of LightingApp/ must be on exactly one line. Prints each include that
# runs against the layers and exits non-zero if there is any.
#
# Usage: scripts/check-includes.sh [SOURCE_ROOT]   (default LightingApp)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-LightingApp}

# The layers, top first; folders on one line do not include each other.
layers=(
  "application"
  "status"
  "event_log location_check task_scheduler"
  "policy run_record"
  "settings"
  "colorizers platform_check"
  "lighting_library"
  "json_writer windows_wrappers"
)

declare -A level
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do
    level[$folder]=$i
  done
done

status=0
for directory in "$root"/*/; do
  folder=$(basename "$directory")
  if [ -z "${level[$folder]+set}" ]; then
    echo "$root/$folder/: not in any layer of scripts/check-includes.sh"
    status=1
  fi
done

# Lines of the form FILE:LINE:#include "FOLDER/...".
while IFS=: read -r file line text; do
  from=${file#"$root"/}
  from=${from%%/*}
  to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
  [ -n "${level[$to]+set}" ] && [ -n "${level[$from]+set}" ] || continue
  if [ "$from" != "$to" ] && [ "${level[$to]}" -le "${level[$from]}" ]; then
    echo "$file:$line: $from includes $to, which is not below it: $text"
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$root" --include='*.h' --include='*.cpp' || true)

if [ "$status" -eq 0 ]; then
  echo "Includes run only downward through the layers."
fi
exit "$status"
