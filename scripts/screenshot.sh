#!/usr/bin/env bash
# Renders the calculator window to docs/tallyhorn.png: a Trifecta at "$1"
# with a few horses ticked, shown under Wine on a private X display and
# photographed there with ImageMagick's import.
#   scripts/screenshot.sh            at the prefix's DPI (96)
#   scripts/screenshot.sh --dpi 144  at 144 DPI, to docs/tallyhorn-144dpi.png
# For --dpi the user's screen DPI setting (LogPixels) is set while the
# window starts and put back afterwards, however the photograph goes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

dpi=""
case "${1:-}" in
  "") ;;
  --dpi)
    dpi=${2:-}
    if ! [[ "$dpi" =~ ^[1-9][0-9]{1,2}$ ]]; then
      echo "$0: --dpi takes a DPI from 10 to 999, such as 144" >&2
      exit 2
    fi
    ;;
  *)
    echo "usage: $0 [--dpi DPI]" >&2
    exit 2
    ;;
esac
picture=docs/tallyhorn${dpi:+-${dpi}dpi}.png

pose=build/mingw/tests/ui/screenshot_pose.exe
if [ ! -f "$pose" ]; then
  echo "$0: $pose is missing; build with 'make build'" >&2
  exit 1
fi
for tool in xdotool import convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$0: $tool is missing; run 'make setup' (scripts/setup.sh) first" >&2
    exit 1
  fi
done
mkdir -p docs

# Inside the session: set the DPI when one is asked for, start the posed
# window, wait until it is mapped and painted, photograph it, then press
# Escape on it so it closes as a person would close it.
bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  if [ -n "$3" ]; then
    key="HKCU\Control Panel\Desktop"
    earlier=$(wine reg query "$key" /v LogPixels 2>/dev/null | sed -n "s/.*REG_DWORD *0x\([0-9a-fA-F]*\).*/\1/p" | tr -d "\r" || true)
    if [ -n "$earlier" ]; then
      trap "wine reg add \"$key\" /v LogPixels /t REG_DWORD /d $((16#$earlier)) /f >/dev/null 2>&1" EXIT
    else
      trap "wine reg delete \"$key\" /v LogPixels /f >/dev/null 2>&1" EXIT
    fi
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$3" /f >>build/screenshot.log 2>&1
  fi
  wine "$1" >>build/screenshot.log 2>&1 &
  pose=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Tallyhorn$" | head -n1)
  sleep 1
  import -window "$window" "$2"
  xdotool key --window "$window" Escape
  wait "$pose"
' screenshot "$pose" "$root/$picture" "$dpi"

echo "Wrote $picture ($(identify -format '%wx%h' "$picture"))"
