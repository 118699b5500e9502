#!/usr/bin/env bash
# Checks that the download is reproducible: the last commit is cloned twice,
# at two different paths of different lengths, and each clone builds the
# download on its own (a Release build of the two programs only, no tests,
# in its own build directory). Both programs and the zip must come out byte
# for byte the same in both. When the working tree has no uncommitted
# changes, the zip in dist/ must be that same zip too (run make dist first).
#
#   bash scripts/check-reproducible.sh
#
# The clones go to build/reproducible/ and stay there to be compared by hand
# (diffoscope, cmp -l) when the check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

commit=$(git rev-parse HEAD)
work="$root/build/reproducible"
rm -rf "$work"
clones=("$work/a/tallyhorn" "$work/second-clone/at/a/longer/path/tallyhorn-src")
outputs=(tallyhorn.exe cli/tallyhorn-cli.exe)

for clone in "${clones[@]}"; do
  git clone --quiet --shared --no-checkout "$root" "$clone"
  git -C "$clone" checkout --quiet --detach "$commit"
  log="$clone.log"
  if ! { cmake -S "$clone" -B "$clone/build" -G Ninja \
           --toolchain "$clone/cmake/mingw-w64-x86_64.cmake" \
           -DCMAKE_BUILD_TYPE=Release -DTALLYHORN_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON &&
         cmake --build "$clone/build" --target dist -j2; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "FAIL: the clone at $clone did not build" >&2
    exit 1
  fi
done

version=$(sed -n 's/^project(Tallyhorn VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
zip_name="tallyhorn-$version-win64.zip"

# Each file of the first clone against the same file of the second.
failures=0
Compare() {
  local name=$1 first=$2 second=$3 sum
  if cmp -s "$first" "$second"; then
    sum=$(sha256sum "$first")
    echo "same: $name  ${sum%% *}"
  else
    echo "FAIL: $name differs: $first and $second" >&2
    failures=$((failures + 1))
  fi
}
echo "commit $commit, two clones:"
for output in "${outputs[@]}"; do
  Compare "$(basename "$output")" "${clones[0]}/build/$output" "${clones[1]}/build/$output"
done
Compare "$zip_name" "${clones[0]}/dist/$zip_name" "${clones[1]}/dist/$zip_name"

if [ -z "$(git status --porcelain --untracked-files=no)" ]; then
  if [ -f "dist/$zip_name" ]; then
    if cmp -s "dist/$zip_name" "${clones[0]}/dist/$zip_name"; then
      echo "same: dist/$zip_name is the clones' zip"
    else
      echo "FAIL: dist/$zip_name is not the clones' zip (built from an older commit? run make dist)" >&2
      failures=$((failures + 1))
    fi
  fi
else
  echo "(uncommitted changes: dist/$zip_name not compared)"
fi

if [ "$failures" -gt 0 ]; then
  echo "the download is not reproducible: compare the files above (cmp -l, diffoscope)" >&2
  exit 1
fi
echo "the download is reproducible"
