#!/usr/bin/env bash
# The built tallyhorn-cli with standard input and output as the shell really
# hands them over: a directory and a closed descriptor as input, a full
# device as output. Each must give its message and exit status 1.
#   bash tests/cli/stdio_faults_test.sh path/to/tallyhorn-cli
set -uo pipefail
cli=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tallyhorn-cli-stdio.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# check NAME STATUS STDERR STDOUT: the last run's outcome against the expected.
check() {
  local name=$1 status=$2 err=$3 out=$4
  local got_err got_out
  got_err=$(cat "$work/err")
  got_out=$(cat "$work/out" 2>/dev/null || true)
  if [ "$got_status" != "$status" ] || [ "$got_err" != "$err" ] || [ "$got_out" != "$out" ]; then
    echo "FAILED $name: status $got_status (want $status)"
    echo "  stderr: $got_err"
    echo "  want:   $err"
    echo "  stdout: $got_out"
    echo "  want:   $out"
    failed=1
  else
    echo "ok $name"
  fi
}

"$cli" <"$work" >"$work/out" 2>"$work/err"
got_status=$?
check "directory as input" 1 "tallyhorn-cli: standard input could not be read: it is a directory" ""

"$cli" <&- >"$work/out" 2>"$work/err"
got_status=$?
check "closed input" 1 "tallyhorn-cli: standard input could not be read: it is closed" ""

printf '$1 Trifecta: 1,2 / 5 / 3,4\n$1 Pick-9: 1\n' | "$cli" >"$work/out" 2>"$work/err"
got_status=$?
check "piped input" 2 "tallyhorn-cli: line 2: There is no bet type \"Pick-9\"; the bet types are Exacta, Trifecta, Superfecta, Superfecta-5, Superfecta-6, Pick-3, Pick-4, Pick-5, Pick-6, Pick-7, Pick-8." \
  "$(printf '$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \nTickets: 1  Bets: 4  Distinct: 4  Total: $4  Rejected: 1')"

if [ -w /dev/full ]; then
  rm -f "$work/out"
  "$cli" --help >/dev/full 2>"$work/err"
  got_status=$?
  check "help to a full device" 1 "tallyhorn-cli: the output could not be written" ""

  "$cli" '$1 Pick-3: 1/2/3' >/dev/full 2>"$work/err"
  got_status=$?
  check "ticket to a full device" 1 "tallyhorn-cli: the output could not be written" ""
else
  echo "skipped the full-device cases: no writable /dev/full"
fi
exit "$failed"
