#!/usr/bin/env bash
# The long random soak of the calculator window (make soak): 50,000 seeded
# random user actions on the real dialog under Wine, every one checked, with
# memory and window objects compared over the run. The same seed gives
# the same actions, so a failure it prints can be replayed exactly.
#   SOAK_SEED     seed of the run (default 20240601)
#   SOAK_ACTIONS  number of actions (default 50000)
#   SOAK_SECONDS  time limit of the run (default 1800)
# Needs the mingw build (make soak builds it first).
set -euo pipefail
cd "$(dirname "$0")/.."

soak=build/mingw/tests/soak/soak.exe
if [ ! -f "$soak" ]; then
  echo "soak.sh: $soak is missing; run 'make soak', which builds the mingw preset first" >&2
  exit 1
fi
seed=${SOAK_SEED:-20240601}
actions=${SOAK_ACTIONS:-50000}
seconds=${SOAK_SECONDS:-1800}

exec bash scripts/wine-session.sh wine "$soak" --seed "$seed" --actions "$actions" --seconds "$seconds"
