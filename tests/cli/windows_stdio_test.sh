#!/usr/bin/env bash
# tallyhorn-cli.exe with real bytes on its standard input and real
# arguments, run under Wine: the bytes a C runtime in text mode would change
# (CR LF, 0x1A) are read as on any other system, UTF-16 whose bytes hold 1A
# or 0D 0A loses nothing, standard output keeps its LF line ends, and a
# non-ASCII argument arrives whole.
#   bash tests/cli/windows_stdio_test.sh path/to/wine path/to/tallyhorn-cli.exe
set -uo pipefail
wine=$1
cli=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/tallyhorn-cli-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
# Wine takes the arguments in the locale's encoding: UTF-8.
export LC_ALL=C.UTF-8

# run [ARG...]: the program on $work/in, its output in $work/out and $work/err.
run() {
  "$wine" "$cli" "$@" <"$work/in" >"$work/out" 2>"$work/err"
  got_status=$?
}

# check NAME STATUS STDERR STDOUT: the last run's outcome, byte for byte.
check() {
  local name=$1 status=$2
  printf '%s' "$3" >"$work/want_err"
  printf '%s' "$4" >"$work/want_out"
  if [ "$got_status" != "$status" ] || ! cmp -s "$work/err" "$work/want_err" || ! cmp -s "$work/out" "$work/want_out"; then
    echo "FAILED $name: status $got_status (want $status)"
    echo "  stderr: $(od -c "$work/err" | head -5)"
    echo "  want:   $(od -c "$work/want_err" | head -5)"
    echo "  stdout: $(od -c "$work/out" | head -5)"
    echo "  want:   $(od -c "$work/want_out" | head -5)"
    failed=1
  else
    echo "ok $name"
  fi
}

# utf16le TEXT: the UTF-8 text as UTF-16, little-endian, with a byte-order mark.
utf16le() {
  printf '\xFF\xFE'
  printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE
}

exactas=$'$1 Exacta: 1 / 2\nBets:  1  Total:  $1 \n$2 Exacta: 2 / 1\nBets:  1  Total:  $2 \nTickets: 2  Bets: 2  Distinct: 2  Total: $3\n'

printf '# keyed \x1A on 1\r\n$1 Exacta: 1/2\r\n$2 Exacta: 2/1\r\n' >"$work/in"
run
check "0x1A in a comment" 0 "" "$exactas"

printf '$1 Exacta: 1/2\n$2 Exacta: 2/1\x1A\n$2 Exacta: 2/1\n' >"$work/in"
run
check "0x1A in a ticket" 2 \
  $'tallyhorn-cli: line 2: In the 2nd row, "1\\x1A" is not a horse number, a range like 1-4, or ALL.\n' \
  $'$1 Exacta: 1 / 2\nBets:  1  Total:  $1 \n$2 Exacta: 2 / 1\nBets:  1  Total:  $2 \nTickets: 2  Bets: 2  Distinct: 2  Total: $3  Rejected: 1\n'

# "Ě" is 1A 01 in UTF-16LE, U+0A0D is 0D 0A.
utf16le $'# \u011A\u0A0D keyed on 1\r\n$1 Exacta: 1/2\r\n$2 Exacta: 2/1\r\n' >"$work/in"
run
check "UTF-16 holding 1A and 0D 0A bytes" 0 "" "$exactas"

: >"$work/in"
run '$1 Exacta: 1/Ě'
check "non-ASCII argument" 2 \
  $'tallyhorn-cli: argument 1: In the 2nd row, "\u011A" is not a horse number, a range like 1-4, or ALL.\n' ""
exit "$failed"
