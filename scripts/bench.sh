#!/usr/bin/env bash
# The benchmarks, in one run: the core's counting natively (Google
# Benchmark), then the window's click times under Wine on a private X
# display. Arguments go to the click benchmark (--samples N).
set -euo pipefail
cd "$(dirname "$0")/.."

core=build/native/bench/core_bench
clicks=build/mingw/bench/ui/click_bench.exe
for program in "$core" "$clicks"; do
  if [ ! -f "$program" ]; then
    echo "$0: $program is missing; build with 'make build'" >&2
    exit 1
  fi
done

echo "== core counting (native)"
"$core"
echo
echo "== clicks on the calculator window (under Wine)"
bash scripts/wine-session.sh wine "$clicks" "$@"
