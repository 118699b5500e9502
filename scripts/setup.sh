#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and the tests need, when any
# is missing: with apt-get as root, through sudo when that works without a
# password, and otherwise prints the exact command to run and fails.
set -euo pipefail

packages=(
  # the core, its tests and benchmarks
  make cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
  # fuzzing the core
  clang libclang-rt-dev
  # the Windows program, cross-built
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # running it: Wine on a private X display, with fonts and the X extensions
  # its display driver uses
  wine wine64 fonts-wine fonts-liberation xvfb xauth x11-utils
  libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxfixes3
  # a person's mouse, keyboard and clipboard in the end-to-end test; screenshots
  xdotool xclip imagemagick
  # the download: zipped and checked with python3, dated by the last commit
  python3 git
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo)
else
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
