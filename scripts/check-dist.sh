#!/usr/bin/env bash
# Checks the download as a player gets it, from the zip alone: it holds
# exactly tallyhorn.exe, tallyhorn-cli.exe, README.txt and LICENSE.txt;
# the texts have Windows line ends; both programs' version resources carry
# the project's version (from CMakeLists.txt) and the licence's copyright
# line, and the About text that version; the command-line program prints
# the worked Trifecta; the calculator starts, shows its window and closes
# on Escape. The programs run under Wine, so this runs inside a Wine
# session:
#
#   bash scripts/wine-session.sh bash scripts/check-dist.sh [ZIP]
#
# ZIP defaults to dist/tallyhorn-<version>-win64.zip (make dist writes it);
# it is unpacked into build/dist-check, or DIST_CHECK_DIR when that is set.
# Every check runs, whatever an earlier one found, and says ok or FAIL; the
# status is 1 when any failed. Without the zip, python3, Wine, xdotool or a
# display nothing can be checked: the script says so and stops with 1.
#
# No `set -e`: a failing command is a failed check to report, not a reason
# to skip the checks after it, so each command's status is looked at where
# it runs.
set -uo pipefail
cd "$(dirname "$0")/.."

failures=0
Fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
Ok() { echo "ok: $*"; }

version=$(sed -n 's/^project(Tallyhorn VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "FAIL: no version in the project() line of CMakeLists.txt" >&2
  exit 1
fi
if ! copyright=$(grep -m1 '^Copyright ' LICENSE); then
  echo "FAIL: no Copyright line in LICENSE" >&2
  exit 1
fi
zip=${1:-dist/tallyhorn-$version-win64.zip}
if [ ! -f "$zip" ]; then
  echo "FAIL: $zip is missing (make dist writes it)" >&2
  exit 1
fi
for tool in python3 wine xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FAIL: $tool is missing (make setup installs it)" >&2
    exit 1
  fi
done
if [ -z "${DISPLAY:-}" ]; then
  echo "FAIL: no X display; run inside scripts/wine-session.sh" >&2
  exit 1
fi
echo "checking $zip (version $version)"

# --- what is in it ---------------------------------------------------------

expected=$'tallyhorn.exe\ntallyhorn-cli.exe\nREADME.txt\nLICENSE.txt'
if entries=$(python3 - "$zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    print("\n".join(archive.namelist()))
    sys.exit(1 if archive.testzip() is not None else 0)
PY
); then
  if [ "$entries" = "$expected" ]; then
    Ok "the zip holds exactly ${expected//$'\n'/, }"
  else
    Fail "the zip holds ${entries//$'\n'/, } instead of ${expected//$'\n'/, }"
  fi
else
  Fail "the zip is damaged or unreadable"
fi

checksum="$zip.sha256"
if [ -f "$checksum" ] && (cd "$(dirname "$zip")" && sha256sum --status -c "$(basename "$checksum")"); then
  Ok "$(basename "$checksum") matches the zip"
else
  Fail "$checksum is missing or does not match the zip"
fi

unpacked=${DIST_CHECK_DIR:-build/dist-check}
rm -rf "$unpacked"
mkdir -p "$unpacked"
# What cannot be unpacked is missing below, and those checks say so.
if ! python3 -m zipfile -e "$zip" "$unpacked" 2>/dev/null; then
  Fail "the zip could not be unpacked whole"
fi

# Every line of the texts ends in CR LF, the last one included.
for text in README.txt LICENSE.txt; do
  if python3 - "$unpacked/$text" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if data and data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n")
         and data.count(b"\r") == data.count(b"\r\n") else 1)
PY
  then
    Ok "$text has Windows line ends"
  else
    Fail "$text is empty or has a line end that is not CR LF"
  fi
done
if [ "$(head -n1 "$unpacked/README.txt")" = "Tallyhorn $version"$'\r' ]; then
  Ok "README.txt is headed with the version"
else
  Fail "README.txt does not start with 'Tallyhorn $version'"
fi

# --- the version resources --------------------------------------------------

# The fixed part's four numbers: the version's, with zeros for those it
# does not give.
IFS=. read -r major minor patch tweak <<<"$version"
fixed="${major:-0}.${minor:-0}.${patch:-0}.${tweak:-0}"
declare -A descriptions=(
  [tallyhorn.exe]="Tallyhorn exotic wager calculator"
  [tallyhorn-cli.exe]="Tallyhorn command-line ticket counter"
)
for program in tallyhorn.exe tallyhorn-cli.exe; do
  if ! info=$(python3 scripts/version-info.py "$unpacked/$program"); then
    Fail "$program has no readable version resource"
    continue
  fi
  declare -A field=()
  while IFS='=' read -r key value; do field[$key]=$value; done <<<"$info"
  declare -A want=(
    [FILEVERSION]=$fixed [PRODUCTVERSION]=$fixed
    [FileVersion]=$version [ProductVersion]=$version
    [ProductName]=Tallyhorn [OriginalFilename]=$program
    [FileDescription]=${descriptions[$program]} [LegalCopyright]=$copyright
  )
  wrong=0
  for key in "${!want[@]}"; do
    if [ "${field[$key]-(missing)}" != "${want[$key]}" ]; then
      Fail "$program: $key is '${field[$key]-(missing)}', not '${want[$key]}'"
      wrong=1
    fi
  done
  [ "$wrong" = 1 ] || Ok "$program: version resource says Tallyhorn $version, ${descriptions[$program]}"
  unset field want
done
# The calculator keeps its icons (3, 14), dialog (5) and manifest (24) beside
# the version (16).
types=$(python3 scripts/version-info.py "$unpacked/tallyhorn.exe" | sed -n 's/^resource-types=//p')
if [ "$types" = "3 5 14 16 24" ]; then
  Ok "tallyhorn.exe carries its icons, dialog, manifest and version"
else
  Fail "tallyhorn.exe has resource types '$types', not '3 5 14 16 24'"
fi

# The About box's text is compiled in with the same version.
if grep -qaF "Version $version" "$unpacked/tallyhorn.exe"; then
  Ok "tallyhorn.exe's About text says Version $version"
else
  Fail "tallyhorn.exe holds no About text with 'Version $version'"
fi

# --- the programs, run -------------------------------------------------------

readonly kTicket='$1 Trifecta: 1,2 / 5 / 3,4'
# Standard output is binary on Windows too: LF line ends, as on any system.
want=$'$1 Trifecta: 1,2 / 5 / 3,4\nBets:  4  Total:  $4 \n'
# The x keeps the output's last line end through the command substitution;
# the subshell then ends with the program's own status, so a program that
# prints the right text and fails still fails the check.
printed=$(cd "$unpacked" && {
  wine tallyhorn-cli.exe "$kTicket"
  status=$?
  printf x
  exit "$status"
})
status=$?
printed=${printed%x}
if [ "$status" -ne 0 ]; then
  Fail "tallyhorn-cli.exe '$kTicket' ended with status $status"
elif [ "$printed" = "$want" ]; then
  Ok "tallyhorn-cli.exe prints the worked Trifecta"
else
  Fail "tallyhorn-cli.exe printed $(printf %q "$printed"), not $(printf %q "$want")"
fi

# The calculator: its window, titled Tallyhorn, must appear on the display;
# Escape must close it and end the program with status 0.
readonly kWaitSeconds=30
(cd "$unpacked" && exec wine tallyhorn.exe) &
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT
window=""
deadline=$((SECONDS + kWaitSeconds))
while [ -z "$window" ] && [ "$SECONDS" -lt "$deadline" ] && kill -0 "$app" 2>/dev/null; do
  window=$(xdotool search --onlyvisible --name '^Tallyhorn$' 2>/dev/null | head -n1) || true
  [ -n "$window" ] || sleep 0.2
done
if [ -n "$window" ]; then
  Ok "tallyhorn.exe shows its window"
  # A key that cannot be sent leaves the program running: the wait below
  # reports it.
  xdotool key Escape || true
  deadline=$((SECONDS + kWaitSeconds))
  while kill -0 "$app" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.2; done
  if kill -0 "$app" 2>/dev/null; then
    Fail "tallyhorn.exe was still running ${kWaitSeconds}s after Escape"
  elif wait "$app"; then
    Ok "tallyhorn.exe closes on Escape"
  else
    Fail "tallyhorn.exe ended with status $? after Escape"
  fi
else
  Fail "tallyhorn.exe showed no window titled Tallyhorn within ${kWaitSeconds}s"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) of the download failed" >&2
  exit 1
fi
echo "the download is good: $zip"
