#!/usr/bin/env bash
# Builds the player for the browser into build-web/ and serves it on 127.0.0.1.
#
#   tools/web.sh            build, then serve on http://127.0.0.1:8023/ until Ctrl+C
#   tools/web.sh build      build only
#   tools/web.sh serve [PORT]
#
# The libraries below the platform layer come from tools/web-libs.sh's cache (built once); the
# demo game is built by the native orvdemo tool (in build/) and put beside the page with its
# file list, so http://127.0.0.1:8023/?game=games/demo/ plays it.
set -euo pipefail
cd "$(dirname "$0")/.."
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
out=${WEB_BUILD_DIR:-build-web}
native=${BUILD_DIR:-build}
port=${2:-8023}

build() {
  command -v emcmake >/dev/null || ./tools/install-web-deps.sh
  local prefix
  prefix=$(./tools/web-libs.sh build | tail -1)
  if [ ! -f "$out/CMakeCache.txt" ]; then
    emcmake cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WEB_PREFIX="$prefix" >/dev/null
  else
    cmake "$out" -DORVANE_WEB_PREFIX="$prefix" >/dev/null
  fi
  nice -n 5 cmake --build "$out" -j"$(nproc)"
  # The substitute fonts the renderer looks for, from the machine's IPA font packages.
  mkdir -p "$out/fonts"
  for font in /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf /usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf \
    /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf; do
    cp -u "$(readlink -f "$font")" "$out/fonts/"
  done
  # Music: FluidSynth for the page (js-synthesizer, pinned in web/package-lock.json) and the
  # General MIDI SoundFont from Debian's timgm6mb-soundfont (GPL-2, 6 MB), both served beside
  # the page, never from another site.
  [ -d web/node_modules/js-synthesizer ] || ./tools/install-web-deps.sh
  mkdir -p "$out/synth"
  local synth=web/node_modules/js-synthesizer
  cp -u "$synth/dist/js-synthesizer.min.js" "$synth/dist/js-synthesizer.worklet.min.js" \
    "$synth/externals/libfluidsynth-2.4.6.js" "$synth/externals/LICENSE.fluidsynth.txt" "$out/synth/"
  cp -u "$synth/LICENSE" "$out/synth/LICENSE.js-synthesizer.txt"
  cp -u "$(readlink -f /usr/share/sounds/sf2/TimGM6mb.sf2)" "$out/synth/TimGM6mb.sf2"
  cp -u /usr/share/doc/timgm6mb-soundfont/copyright "$out/synth/COPYING.TimGM6mb.txt"
  # The demo game, from the native build's tool.
  if [ ! -f "$native/CMakeCache.txt" ]; then
    cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  nice -n 5 cmake --build "$native" -j"$(nproc)" --target orvdemo >/dev/null
  rm -rf "$out/games/demo"
  "$native/orvdemo" demo "$out/games/demo" >/dev/null
  python3 tools/web-manifest.py "$out/games/demo"
  # The service worker that keeps this build for offline play, named by its files' digests.
  python3 tools/web_site.py offline "$out"
}

serve() {
  echo "Serving $out on http://127.0.0.1:$port/ (the demo: http://127.0.0.1:$port/?game=games/demo/)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$out" "$port"
}

case "${1:-all}" in
  build) build ;;
  serve) serve ;;
  all) build && serve ;;
  *) echo "usage: $0 [build|serve [PORT]]" >&2; exit 2 ;;
esac
