#!/usr/bin/env bash
# Renders the calculator window to docs/tallyhorn.png: a Trifecta at "$1"
# with a few horses ticked, shown under Wine on a private X display and
# photographed there with ImageMagick's import.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

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

# Inside the session: start the posed window, wait until it is mapped and
# painted, photograph it, then press Escape on it so it closes as a person
# would close it.
bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  wine "$1" >>build/screenshot.log 2>&1 &
  pose=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Tallyhorn$" | head -n1)
  sleep 1
  import -window "$window" "$2"
  xdotool key --window "$window" Escape
  wait "$pose"
' screenshot "$pose" "$root/docs/tallyhorn.png"

echo "Wrote docs/tallyhorn.png ($(identify -format '%wx%h' docs/tallyhorn.png))"
