#!/usr/bin/env bash
# Shows the game's caption bar on a real frameless window under a virtual X display and saves
# a screenshot of the screen for a person to look at:
#   tools/screenshot-caption.sh [picture.png]     (default build/caption-screenshot.png)
# PRESET chooses the build (default release). Not part of the test suite. The virtual display
# and the screenshot tools are installed by tools/install-deps.sh when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/virtual-display.sh

out=${1:-build/caption-screenshot.png}
preset=${PRESET:-release}

bash tools/install-deps.sh --screenshots
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target brenmoor_captiondemo >/dev/null

start_virtual_display 800x600x24
demo_pid=""
cleanup() {
  if [ -n "$demo_pid" ]; then kill "$demo_pid" 2>/dev/null || true; fi
  stop_virtual_display
}
trap cleanup EXIT

DISPLAY="$display" QT_QPA_PLATFORM=xcb "build/$preset/bin/brenmoor_captiondemo" &
demo_pid=$!
wait_for_window "Brenmoor 4.0"
# Let the window paint.
sleep 1

mkdir -p "$(dirname "$out")"
import -display "$display" -window root "$out"
echo "Screenshot: $out"
