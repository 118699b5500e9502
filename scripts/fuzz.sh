#!/usr/bin/env bash
# Runs the core's libFuzzer targets (built by the fuzz preset into build/fuzz).
#   bash scripts/fuzz.sh            each target for FUZZ_SECONDS (default 60)
#   bash scripts/fuzz.sh --merge    the same, then adds the inputs that reach
#                                   new coverage to fuzz/corpus/<target>/
#   bash scripts/fuzz.sh --brief    each target for FUZZ_BRIEF_SECONDS (default
#                                   5) from its committed corpus, as make test does
# Every run fuzzes into a private temporary corpus seeded from the committed
# one, so the committed corpus changes only with --merge. libFuzzer's own
# output goes to build/fuzz/logs/<target>.log; this script prints one line per
# target, and for a failure the tail of the log and the input that failed.
# Exits non-zero when any target fails.
set -euo pipefail
cd "$(dirname "$0")/.."

brief=0
merge=0
for arg in "$@"; do
  case "$arg" in
    --brief) brief=1 ;;
    --merge) merge=1 ;;
    *) echo "usage: $0 [--brief | --merge]" >&2; exit 2 ;;
  esac
done
if [ "$brief" -eq 1 ] && [ "$merge" -eq 1 ]; then
  echo "fuzz.sh: --brief never changes the committed corpus; run without it to --merge" >&2
  exit 2
fi

if [ "$brief" -eq 1 ]; then
  seconds=${FUZZ_BRIEF_SECONDS:-5}
else
  seconds=${FUZZ_SECONDS:-60}
fi
case "$seconds" in
  '' | *[!0-9]* | 0) echo "fuzz.sh: the run time must be a whole number of seconds above 0, not '$seconds'" >&2; exit 2 ;;
esac

build=build/fuzz
bin=$build/fuzz
logs=$build/logs
artifacts=$build/artifacts
mkdir -p "$logs" "$artifacts"

# Target and the longest input worth trying: format_fuzz reads 8 bytes; the
# state of ticket_fuzz takes 42 bytes and a run of box overrides after them;
# ticket_read_fuzz takes a 30-byte state and then the text it reads, which
# needs room for a Pick-8 of every horse and for texts past the 40-character
# cut of its messages.
targets=(format_fuzz:16 ticket_fuzz:512 ticket_read_fuzz:1024)

work=$(mktemp -d "${TMPDIR:-/tmp}/tallyhorn-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

failed=0
for entry in "${targets[@]}"; do
  target=${entry%%:*}
  max_len=${entry##*:}
  binary=$bin/$target
  seeds=fuzz/corpus/$target
  log=$logs/$target.log
  if [ ! -x "$binary" ]; then
    echo "$target: FAILED, $binary is not built (cmake --preset fuzz && cmake --build --preset fuzz)"
    failed=1
    continue
  fi
  corpus=$work/$target
  mkdir -p "$corpus"

  # New inputs go to the first directory, the private one; the committed
  # seeds are only read.
  status=0
  "$binary" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" "$corpus" "$seeds" >"$log" 2>&1 || status=$?

  # The last status line: "#N DONE cov: C ft: F corp: K/B ... exec/s: E ...".
  stats=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -n 1)
  rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+).*/\1/p' "$log" | tail -n 1)
  cov=$(sed -nE 's/.* cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+)\/.*/edges \1, features \2, corpus \3/p' <<<"$stats")
  if [ "$status" -eq 0 ]; then
    echo "$target: ok, ${runs:-?} runs in ${seconds} s (${rate:-?} exec/s), ${cov:-no coverage line}"
  else
    echo "$target: FAILED (exit $status) after ${runs:-?} runs; log $log"
    # From the first report of the fault (the harness's own message, a
    # sanitizer or libFuzzer error), else the end of the log.
    first=$(grep -n -m 1 -E "^$target: |runtime error:|==[0-9]+== ?ERROR|ALARM:|^SUMMARY:" "$log" | cut -d: -f1 || true)
    if [ -n "$first" ]; then
      sed -n "${first},$((first + 19))p" "$log" | sed 's/^/    /'
    else
      tail -n 20 "$log" | sed 's/^/    /'
    fi
    input=$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log" | tail -n 1)
    if [ -n "$input" ]; then
      echo "    failing input: $input"
      echo "    reproduce: $binary $input"
    fi
    failed=1
    continue
  fi

  if [ "$merge" -eq 1 ]; then
    before=$(find "$seeds" -type f | wc -l)
    if "$binary" -merge=1 -max_len="$max_len" "$seeds" "$corpus" >>"$log" 2>&1; then
      after=$(find "$seeds" -type f | wc -l)
      echo "$target: merged $((after - before)) new input(s) into $seeds"
    else
      echo "$target: FAILED to merge into $seeds; log $log"
      failed=1
    fi
  fi
done
exit "$failed"
