#!/usr/bin/env bash
# The benchmarks, in one run: the core's counting natively (Google
# Benchmark), tallyhorn-cli's Distinct count on families of ticket sets
# beside the plain walk, then the window's click times under Wine on a
# private X display. Arguments go to the click benchmark (--samples N).
set -euo pipefail
cd "$(dirname "$0")/.."

core=build/native/bench/core_bench
distinct=build/native/bench/distinct_bench
clicks=build/mingw/bench/ui/click_bench.exe
plan=build/mingw/bench/ui/plan_bench.exe
for program in "$core" "$distinct" "$clicks" "$plan"; do
  if [ ! -f "$program" ]; then
    echo "$0: $program is missing; build with 'make build'" >&2
    exit 1
  fi
done

echo "== core counting (native)"
"$core"
echo
echo "== Distinct of tallyhorn-cli (native; plain_s: the plain walk on the same set)"
"$distinct"
echo
echo "== clicks on the calculator window (under Wine)"
bash scripts/wine-session.sh wine "$clicks" "$@"
echo
echo "== the plan's count beside the calculator window (under Wine)"
bash scripts/wine-session.sh wine "$plan" "$@"
