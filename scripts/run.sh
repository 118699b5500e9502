#!/usr/bin/env bash
# Starts the calculator, build/mingw/tallyhorn.exe: directly on Windows, and
# under Wine on Linux, on the display of the desktop it is run from. Returns
# when the calculator is closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

exe=build/mingw/tallyhorn.exe
if [ ! -f "$exe" ]; then
  echo "$0: $exe is missing; build it with 'make build'" >&2
  exit 1
fi

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*) exec "./$exe" ;;
esac

if [ -z "${DISPLAY:-}" ]; then
  echo "$0: there is no display to show the calculator on (DISPLAY is not set)." >&2
  echo "Run 'make run' from a desktop session, or 'make screenshot' for a picture of the window." >&2
  exit 1
fi
if command -v xdpyinfo >/dev/null 2>&1 && ! xdpyinfo >/dev/null 2>&1; then
  echo "$0: the display $DISPLAY cannot be opened." >&2
  exit 1
fi
if ! command -v wine >/dev/null 2>&1; then
  echo "$0: wine is missing; run 'make setup' (scripts/setup.sh) first" >&2
  exit 1
fi

# A prefix of its own, left as Wine makes it for a desktop with a window
# manager (the test sessions' prefix is set up for a display without one).
export WINEPREFIX="$root/build/wineprefix-desktop"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
log="$root/build/run.log"
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing a Wine prefix in $WINEPREFIX (the first start takes a minute)..."
fi
wineboot -i >"$log" 2>&1
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
echo "Tallyhorn is running; close its window (or press Escape) to end it."
wine "$exe" >>"$log" 2>&1
