#!/usr/bin/env bash
# Builds the Debian package (.deb) of the player, its tools and the demo game from build/ (or
# $BUILD_DIR), building first only what it installs. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  --help) echo "usage: tools/package.sh   (BUILD_DIR=build by default; the .deb lands in BUILD_DIR/package/)"; exit 0 ;;
esac
./tools/install-deps.sh >&2
build=${BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target installables >&2
rm -rf "$build/package/_CPack_Packages"
cpack --config "$build/CPackConfig.cmake" -B "$PWD/$build/package" >&2
rm -rf "$build/package/_CPack_Packages"
ls -t "$build"/package/orvane_*.deb | head -1
