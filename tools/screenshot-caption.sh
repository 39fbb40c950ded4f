#!/usr/bin/env bash
# Shows the game's caption bar on a real frameless window under a virtual X display and saves
# a screenshot of the screen for a person to look at:
#   tools/screenshot-caption.sh [picture.png]     (default build/caption-screenshot.png)
# PRESET chooses the build (default release). Not part of the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-build/caption-screenshot.png}
preset=${PRESET:-release}

# The virtual display, its tools and the screenshot program, when missing.
packages=(xvfb x11-utils imagemagick)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q "${missing[@]}"
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target brenmoor_captiondemo >/dev/null

# A free display number.
n=99
while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
display=":${n}"

Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
demo_pid=""
cleanup() {
  if [ -n "$demo_pid" ]; then kill "$demo_pid" 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do
  if xdpyinfo -display "$display" >/dev/null 2>&1; then break; fi
  sleep 0.1
done

DISPLAY="$display" QT_QPA_PLATFORM=xcb "build/$preset/bin/brenmoor_captiondemo" &
demo_pid=$!

for _ in $(seq 100); do
  if xwininfo -display "$display" -name "Brenmoor 4.0" >/dev/null 2>&1; then break; fi
  sleep 0.1
done
# Let the window paint.
sleep 1

mkdir -p "$(dirname "$out")"
import -display "$display" -window root "$out"
echo "Screenshot: $out"
