#!/usr/bin/env bash
# Runs one command inside a private Wine session: its own X display (Xvfb),
# the project's Wine prefix in build/wineprefix, and one wineserver kept
# alive for the whole command, so the Windows programs it starts do not each
# pay for starting Wine. Everything is shut down when the command ends,
# however it ends; the command's exit status is the script's.
#   scripts/wine-session.sh ctest --preset mingw
# Wine's own output goes to build/wine-session.log. TALLYHORN_WINEPREFIX
# names another prefix, for a second session beside a long one (its log and
# lock then sit beside that prefix).
set -euo pipefail

# The whole session is one function, read before it runs, so editing this
# file cannot disturb a session already running.
main() {
  root=$(cd "$(dirname "$0")/.." && pwd)
  cd "$root"

  if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGUMENT...]" >&2
    exit 2
  fi
  for tool in Xvfb wine wineserver wineboot; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$0: $tool is missing; run 'make setup' (scripts/setup.sh) first" >&2
      exit 1
    fi
  done

  mkdir -p build
  if [ -n "${TALLYHORN_WINEPREFIX:-}" ]; then
    export WINEPREFIX="$TALLYHORN_WINEPREFIX"
    session="$WINEPREFIX-session"
  else
    export WINEPREFIX="$root/build/wineprefix"
    session="$root/build/wine-session"
  fi
  # Sessions on one prefix share its wineserver, which each one stops when it
  # ends: one session at a time on a prefix.
  exec 9>"$session.lock"
  if ! flock -n 9; then
    echo "$0: waiting for another Wine session on $WINEPREFIX to end" >&2
    flock 9
  fi
  log="$session.log"
  : >"$log"

  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="

  xvfb_pid=""
  display_file=$(mktemp)
  cleanup() {
    # Stop the wineserver this session started (and the Wine processes still
    # attached to it), then the X server.
    wineserver -k >>"$log" 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
      kill "$xvfb_pid" 2>/dev/null || true
      wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$display_file"
  }
  trap cleanup EXIT
  trap 'exit 130' INT TERM

  # Xvfb picks a free display number and writes it to descriptor 3.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 9>&- >>"$log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      echo "$0: Xvfb did not start; see $log" >&2
      exit 1
    fi
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "$0: Xvfb gave no display number; see $log" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$display_file")"

  # One persistent wineserver for the session; the first start of a new
  # prefix also builds it (a minute or so), later ones only check it.
  mkdir -p "$WINEPREFIX"
  wineserver -p 9>&- >>"$log" 2>&1
  if ! wineboot -i >>"$log" 2>&1; then
    echo "$0: wineboot failed; see $log" >&2
    exit 1
  fi
  # The title bar's buttons are drawn with the Marlett symbol font, which this
  # Wine does not find in its own font folder: give the prefix a copy.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # There is no window manager on this display: Wine manages the windows and
  # draws their title bars and frames itself, so they look and measure as on
  # Windows, and closing one does not wait for a window manager that never
  # answers.
  for setting in Managed Decorated; do
    if ! grep -qs "\"$setting\"=\"N\"" "$WINEPREFIX/user.reg"; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$setting" /t REG_SZ /d N /f >>"$log" 2>&1
    fi
  done

  # Wine closes its desktop a second after the last program on it ends, and
  # the next program waits for a new one: a hidden window keeps it open for
  # the session (when the Windows build has made the keeper).
  keeper="$root/build/mingw/tests/ui/desktop_keeper.exe"
  if [ -f "$keeper" ]; then
    wine "$keeper" 9>&- >>"$log" 2>&1 &
  fi

  set +e
  "$@"
  status=$?
  set -e
  exit "$status"
}

main "$@"
exit
