#!/usr/bin/env bash
# Writes a set of tickets for timing the Distinct count of tallyhorn-cli:
#   cli/ticket-sets.sh FAMILY BETTYPE COUNT | tallyhorn-cli --field 20
# FAMILY is one of
#   meet     ticket t leaves one horse out of one race and takes ALL the
#            rest, so every group of tickets shares combinations and none
#            lies inside another: nothing can be left out of the count.
#   dense    every row 14 to 19 horses of 20, drawn at random.
#   backups  every row 3 to 8 horses of 1 to 12, drawn at random.
# The draws come from a fixed linear congruential generator, so a family, bet
# type and count give the same tickets on every machine.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 meet|dense|backups BETTYPE COUNT" >&2
  exit 2
fi
family=$1
betType=$2
count=$3
case "$betType" in
  Exacta) rows=2 ;;
  Trifecta | Pick-3) rows=3 ;;
  Superfecta | Pick-4) rows=4 ;;
  Superfecta-5 | Pick-5) rows=5 ;;
  Superfecta-6 | Pick-6) rows=6 ;;
  Pick-7) rows=7 ;;
  Pick-8) rows=8 ;;
  *) echo "$0: unknown bet type $betType" >&2; exit 2 ;;
esac

seed=7
# Next draw from 0 to $1 - 1, in $draw.
Draw() {
  seed=$(((seed * 1103515245 + 12345) % 2147483648))
  draw=$(((seed / 65536) % $1))
}

# A row of $1 horses drawn from 1 to $2, in increasing order, in $row.
DrawRow() {
  local take=$1 field=$2 i j swap
  local -a horses=()
  for ((i = 0; i < field; i++)); do horses[i]=$((i + 1)); done
  for ((i = 0; i < take; i++)); do
    Draw $((field - i))
    j=$((i + draw))
    swap=${horses[i]}; horses[i]=${horses[j]}; horses[j]=$swap
  done
  row=$(printf '%s\n' "${horses[@]:0:take}" | sort -n | paste -sd, -)
}

for ((t = 0; t < count; t++)); do
  line="\$1 $betType:"
  for ((r = 0; r < rows; r++)); do
    case "$family" in
      meet)
        if ((r == t % rows)); then
          out=$((t / rows + 1))
          row=$(seq 1 20 | grep -vx "$out" | paste -sd, -)
        else
          row=ALL
        fi
        ;;
      dense) Draw 6; DrawRow $((14 + draw)) 20 ;;
      backups) Draw 6; DrawRow $((3 + draw)) 12 ;;
      *) echo "$0: unknown family $family" >&2; exit 2 ;;
    esac
    ((r > 0)) && line+=" /"
    line+=" $row"
  done
  echo "$line"
done
