#!/usr/bin/env bash
# Starts Wine's Task Scheduler service in the prefix WINEPREFIX names, waiting
# for it: in a new prefix the service database stays locked for a while (up to
# about 20 s) as Wine starts its services. Exits non-zero if the service has not
# started after 90 s.
# Usage: WINEPREFIX=... start-task-scheduler.sh
set -euo pipefail
export WINEDEBUG=-all
for _ in $(seq 1 90); do
  if wine net start Schedule 2>&1 | grep -q -E "started successfully|already been started"; then
    exit 0
  fi
  sleep 1
done
echo "the Task Scheduler service did not start" >&2
exit 1
