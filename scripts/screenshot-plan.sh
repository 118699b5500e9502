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
# and painted, photograph the part of the screen they cover, then press Escape on the
# calculator so both close as a person would close them.
bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  wine "$1" >>build/screenshot.log 2>&1 &
  pose=$!
  rm -f build/plan-pose-crop.txt
  calculator=$(timeout 60 xdotool search --sync --onlyvisible --name "^Tallyhorn$" | head -n1)
  timeout 60 xdotool search --sync --onlyvisible --name "Tallyhorn plan$" >/dev/null
  sleep 2
  # The pose writes the rectangle the two windows make together.
  import -window root -crop "$(cat build/plan-pose-crop.txt)" +repage "$2"
  xdotool key --window "$calculator" Escape
  wait "$pose"
' screenshot "$pose" "$root/docs/tallyhorn-plan.png"

echo "Wrote docs/tallyhorn-plan.png ($(identify -format '%wx%h' docs/tallyhorn-plan.png))"
