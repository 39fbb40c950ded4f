#!/usr/bin/env bash
# Starts the real game under a virtual X display and writes a screenshot of each of its screens
# for a person to look at:
#   tools/screenshot.sh [folder]      (default build/screenshots)
# "tip.png" is the first start with empty settings (the title screen under the tip of the day);
# then one picture per screen ("pnlTitle.png", "pnlGame.png" with the Standard map...). The
# virtual display and the screenshot tools are installed by tools/install-deps.sh when missing.
# PRESET chooses the build (default release). Not part of the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/virtual-display.sh

out=${1:-build/screenshots}
preset=${PRESET:-release}
screens=(pnlTitle pnlGameSetup pnlGame pnlLobby pnlHallOfFame pnlEditor)

bash tools/install-deps.sh --screenshots
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target brenmoor >/dev/null

config=$(mktemp -d)
start_virtual_display 1024x768x24
game_pid=""
# Ends the game started last: asked first, then told.
stop_game() {
  if [ -z "$game_pid" ]; then return; fi
  kill "$game_pid" 2>/dev/null || true
  for _ in $(seq 30); do
    if ! kill -0 "$game_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  kill -9 "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
}
cleanup() {
  stop_game
  stop_virtual_display
  rm -rf "$config"
}
trap cleanup EXIT

mkdir -p "$out"

# shot <name> [screen]: starts the game (on the screen named, else on the title screen), waits
# for its window and for it to paint, photographs the display and ends the game.
shot() {
  local name=$1 screen=${2:-}
  DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$config" SDL_AUDIODRIVER=dummy \
    BRENMOOR_SCREEN="$screen" "build/$preset/bin/brenmoor" >/dev/null 2>&1 &
  game_pid=$!
  wait_for_window "Brenmoor 4.0"
  # The title picture and the map's first frames.
  sleep 2
  import -display "$display" -window root "$out/$name.png"
  stop_game
  echo "Screenshot: $out/$name.png"
}

# The first start: empty settings, so the tip of the day shows over the title screen.
shot tip
# The tip stays away for the screens.
mkdir -p "$config/Quillfen"
printf '[Software]\nQuillfen\\Brenmoor\\ShowTip=1\n' >"$config/Quillfen/Brenmoor.ini"
for s in "${screens[@]}"; do shot "$s" "$s"; done
