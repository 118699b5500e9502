#!/usr/bin/env bash
# Every test: the core natively and under ASan+UBSan, the fuzz targets
# briefly from their corpus, then the Windows build under Wine on a private
# X display. Stops at the first failing stage.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== core, native"
ctest --preset native
echo "== core, AddressSanitizer + UndefinedBehaviorSanitizer"
ctest --preset asan
echo "== fuzz targets, briefly"
bash scripts/fuzz.sh --brief
echo "== Windows build under Wine"
bash scripts/wine-session.sh ctest --preset mingw
