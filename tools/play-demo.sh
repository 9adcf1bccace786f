#!/usr/bin/env bash
# Builds the player, the demo game and the tools (what `cmake --install` puts in place, nothing
# else) and plays the demo: in a window when there is a display, otherwise headless, printing
# what the game shows and saving a few screenshots.
# Extra arguments go to the player (say, --fullscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
build=${BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target installables
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/orvane" "$@" "$build/demo-game"
fi
echo "No display: playing the demo headless (screenshots go to $build/demo-game/shot-*.png)."
events=$(mktemp)
trap 'rm -f "$events"' EXIT
cat >"$events" <<'EVENTS'
shot shot-1.png
click
click
shot shot-2.png
click
click
click
shot shot-3.png
EVENTS
"$build/orvane" --headless --events "$events" --until-exit 100 "$build/demo-game"
