#!/usr/bin/env bash
# Renders the calculator with its plan window beside it to
# docs/tallyhorn-plan.png: a plan of mixed bet types and bases, shown under
# Wine on a private X display and photographed there with ImageMagick's
# import, cropped to the two windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

pose=build/mingw/tests/ui/plan_screenshot_pose.exe
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

# Inside the session: start the posed windows, wait until both are mapped
# and painted, photograph the screen around them, then press Escape on the
# calculator so both close as a person would close them.
bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  wine "$1" >>build/screenshot.log 2>&1 &
  pose=$!
  calculator=$(timeout 60 xdotool search --sync --onlyvisible --name "^Tallyhorn$" | head -n1)
  plan=$(timeout 60 xdotool search --sync --onlyvisible --name "Tallyhorn plan$" | head -n1)
  sleep 2
  eval "$(xdotool getwindowgeometry --shell "$calculator")"
  left=$X; top=$Y; right=$((X + WIDTH)); bottom=$((Y + HEIGHT))
  eval "$(xdotool getwindowgeometry --shell "$plan")"
  [ "$X" -lt "$left" ] && left=$X
  [ "$Y" -lt "$top" ] && top=$Y
  [ $((X + WIDTH)) -gt "$right" ] && right=$((X + WIDTH))
  [ $((Y + HEIGHT)) -gt "$bottom" ] && bottom=$((Y + HEIGHT))
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$2"
  xdotool key --window "$calculator" Escape
  wait "$pose"
' screenshot "$pose" "$root/docs/tallyhorn-plan.png"

echo "Wrote docs/tallyhorn-plan.png ($(identify -format '%wx%h' docs/tallyhorn-plan.png))"
