#!/usr/bin/env bash
# Every test: the core natively and under ASan+UBSan, the fuzz targets
# briefly from their corpus, then the Windows build under Wine on a private
# X display, and last the download: checked from its zip, and rebuilt from
# two clones to the same bytes. Stops at the first failing stage.
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
echo "== the download: made, then checked from the zip under Wine"
cmake --build --preset mingw --target dist
bash scripts/wine-session.sh bash scripts/check-dist.sh
echo "== the download, rebuilt from two clones of the last commit"
bash scripts/check-reproducible.sh
