#!/usr/bin/env bash
# Installs what the browser build and its tests need: Debian's emscripten and chromium, Node.js
# with npm, and the Debian source packages of the libraries below our platform layer (emscripten's
# own library ports would be downloaded at build time, which cannot work on a closed network).
# The sources land in the web cache (see tools/web-libs.sh), outside the clone, so a second run
# and every later clone reuse them. Running it again does nothing that is already done.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# timgm6mb-soundfont: the General MIDI SoundFont the page's synthesizer plays music with.
packages=(emscripten chromium dpkg-dev nodejs npm ninja-build cmake pkg-config timgm6mb-soundfont)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
# A node from elsewhere (say, NodeSource's) already brings npm; Debian's npm would fight it.
if command -v npm >/dev/null 2>&1; then
  filtered=()
  for package in "${missing[@]}"; do
    case "$package" in nodejs | npm) ;; *) filtered+=("$package") ;; esac
  done
  missing=("${filtered[@]+"${filtered[@]}"}")
fi

# apt-get source needs deb-src lines for the suites the machine installs from.
src_list=/etc/apt/sources.list.d/orvane-web-src.sources
updated=no
if [ ! -f "$src_list" ]; then
  entries=""
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    # Only Debian's and Ubuntu's own archives: third-party lists rarely publish sources.
    grep -Eq '^URIs:.*(debian|ubuntu)' "$file" || continue
    entries+=$(sed -e 's/^Types:.*/Types: deb-src/' "$file")$'\n\n'
  done
  if [ -f /etc/apt/sources.list ]; then
    while read -r line; do
      entries+="Types: deb-src"$'\n'
      entries+="URIs: $(awk '{print $2}' <<<"$line")"$'\n'
      entries+="Suites: $(awk '{print $3}' <<<"$line")"$'\n'
      entries+="Components: $(cut -d' ' -f4- <<<"$line")"$'\n\n'
    done < <(grep -E '^deb ' /etc/apt/sources.list | grep -v '\[' || true)
  fi
  echo "install-web-deps: adding source package entries in $src_list"
  printf '%s' "$entries" | $SUDO tee "$src_list" >/dev/null
  $SUDO apt-get update -qq
  updated=yes
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-web-deps: installing ${missing[*]}"
  [ "$updated" = yes ] || $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The page's test driver, which drives the chromium installed above, and its synthesizer
# (js-synthesizer), both pinned by package-lock.json.
if [ ! -d web/node_modules/puppeteer-core ] || [ ! -d web/node_modules/js-synthesizer ]; then
  (cd web && npm ci --no-audit --no-fund --ignore-scripts)
fi

./tools/web-libs.sh fetch
