#!/usr/bin/env bash
# Checks that every relative link in the given Markdown files, as they lie
# in FOLDER (the unpacked zip, or the installed program's folder), leads to
# a file or folder inside FOLDER. Links to web addresses and to a place in
# the same file (#...) are not followed.
# Usage: check-links.sh FOLDER FILE...   (FILE relative to FOLDER)
set -euo pipefail
folder=$(cd "$1" && pwd -P)
shift
broken=0
for file in "$@"; do
  [ -f "$folder/$file" ] || { echo "$file is missing from $folder"; broken=1; continue; }
  dir=$(dirname "$folder/$file")
  while read -r link; do
    target=${link%%#*}
    case $link in http://* | https://* | mailto:* | '#'*) continue ;; esac
    resolved=$(realpath -m "$dir/$target")
    if [[ "$resolved/" != "$folder/"* ]] || [ ! -e "$resolved" ]; then
      echo "$file links to $link, which is not in $folder"
      broken=1
    fi
  done < <(grep -o '\]([^) ]*' "$folder/$file" | cut -c3- | sort -u)
done
exit "$broken"
