#!/usr/bin/env bash
# The C libraries below the browser build's platform layer, compiled with emscripten from
# Debian's source packages. Emscripten's own ports would download them at build time, which a
# closed network refuses and which Debian's frozen emscripten cache cannot take anyway.
#
#   tools/web-libs.sh fetch    unpack the source packages (apt-get source) into the cache
#   tools/web-libs.sh build    fetch, then build and install each library not yet built
#   tools/web-libs.sh prefix   print the folder the built libraries are installed in
#
# The cache lives outside the clone ($ORVANE_WEB_CACHE, else $XDG_CACHE_HOME/orvane-web), each
# library under its Debian name and version, so fresh clones and later runs reuse it and a new
# Debian version builds beside the old one.
set -euo pipefail
cache=${ORVANE_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvane-web}
# Debian's emcc runs its JavaScript optimizers with node; a node from elsewhere on PATH does not
# look in Debian's module folder by itself.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# Order matters: libpng and FreeType link zlib.
source_packages=(zlib libpng1.6 libjpeg-turbo freetype libsdl2)
mkdir -p "$cache/src"

# Debian's versions of a source package, newest first.
source_versions() {
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u | sort -rV
}

# The cached, unpacked source folder of a package: <package>_<version>. A version already in the
# cache is used as it is; otherwise the newest version that the mirror serves is fetched (a
# mirror may hold the main archive's sources and not the security archive's).
fetch_one() {
  local package=$1 version dir work versions
  versions=$(source_versions "$package")
  [ -n "$versions" ] || { echo "web-libs: no source package $package (is a deb-src entry there? run tools/install-web-deps.sh)" >&2; return 1; }
  for version in $versions; do
    dir="$cache/src/${package}_${version//:/_}"
    if [ -d "$dir" ]; then echo "$dir"; return; fi
  done
  for version in $versions; do
    dir="$cache/src/${package}_${version//:/_}"
    work=$(mktemp -d "$cache/src/.fetch-XXXXXX")
    if (cd "$work" && apt-get source -qq "$package=$version" >/dev/null 2>&1); then
      mv "$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -1)" "$dir"
      rm -rf "$work"
      echo "$dir"
      return
    fi
    rm -rf "$work"
    echo "web-libs: $package $version could not be fetched; trying an older version" >&2
  done
  echo "web-libs: no version of $package could be fetched" >&2
  return 1
}

prefix_for_all() {
  # One install folder per set of library versions: a changed version builds a new set.
  local keys=""
  for package in "${source_packages[@]}"; do keys+="$(basename "$(fetch_one "$package")") "; done
  echo "$cache/prefix-$(echo "$keys" | sha1sum | cut -c1-12)"
}

emcmake_build() {
  local src=$1 name=$2 prefix=$3
  shift 3
  local build="$cache/build/$name"
  rm -rf "$build"
  emcmake cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$cache/build/$name.log" 2>&1 ||
    { tail -30 "$cache/build/$name.log" >&2; return 1; }
  nice -n 5 cmake --build "$build" --target install -j"$(nproc)" >>"$cache/build/$name.log" 2>&1 ||
    { tail -30 "$cache/build/$name.log" >&2; return 1; }
  rm -rf "$build"
}

# How a library is built, when that changed since the cache was made: a new recipe rebuilds it.
recipe_of() {
  case "$1" in
    freetype) echo "-sse2" ;;
    *) echo "" ;;
  esac
}

build_one() {
  local package=$1 prefix=$2 src stamp started
  src=$(fetch_one "$package")
  stamp="$prefix/.built-$(basename "$src")$(recipe_of "$package")"
  [ -f "$stamp" ] && return
  started=$(date +%s)
  mkdir -p "$cache/build"
  case "$package" in
    zlib)
      # Debian's zlib source leaves out the Windows resources its CMake file names: use its
      # own configure script, in a copy, since it builds in place.
      rm -rf "$cache/build/zlib" && cp -r "$src" "$cache/build/zlib"
      (cd "$cache/build/zlib" && emconfigure ./configure --static --prefix="$prefix" &&
        nice -n 5 emmake make -j"$(nproc)" install) >"$cache/build/zlib.log" 2>&1 ||
        { tail -30 "$cache/build/zlib.log" >&2; return 1; }
      rm -rf "$cache/build/zlib" ;;
    libpng1.6)
      emcmake_build "$src" libpng "$prefix" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_ROOT="$prefix" ;;
    libjpeg-turbo)
      # CMake's type-size probe answers nonsense under emscripten 3.1.6: wasm32's sizes are known.
      emcmake_build "$src" libjpeg-turbo "$prefix" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
        -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4 ;;
    freetype)
      # FreeType flattens curves with SSE2 where it has it, and without it edges some glyphs a
      # level apart: emscripten's SSE2 on WebAssembly SIMD keeps the glyphs the desktop draws.
      emcmake_build "$src" freetype "$prefix" -DCMAKE_C_FLAGS="-msimd128 -msse2" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
        -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$prefix" ;;
    libsdl2)
      emcmake_build "$src" sdl2 "$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
        -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF ;;
  esac
  touch "$stamp"
  echo "web-libs: built $(basename "$src") in $(($(date +%s) - started)) s"
}

case "${1:-build}" in
  fetch)
    for package in "${source_packages[@]}"; do fetch_one "$package" >/dev/null; done ;;
  prefix)
    prefix_for_all ;;
  build)
    command -v emcmake >/dev/null || { echo "web-libs: emcmake is missing: run tools/install-web-deps.sh" >&2; exit 1; }
    prefix=$(prefix_for_all)
    mkdir -p "$prefix"
    for package in "${source_packages[@]}"; do build_one "$package" "$prefix"; done
    echo "$prefix" ;;
  *)
    echo "usage: $0 fetch|build|prefix" >&2; exit 2 ;;
esac
