#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the player needs. Only
# missing packages are installed, so running it again does nothing.
set -euo pipefail
# With --web, also what the browser build and its tests need (tools/install-web-deps.sh).
if [ "${1:-}" = "--web" ]; then
  "$(dirname "$0")/install-deps.sh"
  exec "$(dirname "$0")/install-web-deps.sh"
fi

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-tidy
  # window, input, audio output, WAV and track decoding
  libsdl2-dev libsdl2-mixer-dev
  # text
  libfreetype-dev libfontconfig-dev fonts-ipafont-mincho fonts-ipafont-gothic
  # pictures and screenshots
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libdeflate-dev
  # music: the synthesizer, General MIDI SoundFonts, the ALSA sequencer
  libfluidsynth-dev libglib2.0-dev fluidsynth fluid-soundfont-gm timgm6mb-soundfont libasound2-dev
  # state dumps, the player's own settings file, CD images, spoken text, text for reading tools
  nlohmann-json3-dev libtomlplusplus-dev libcue-dev libspeechd-dev libwebsockets-dev
  # a speech service to try spoken text with (optional at run time)
  speech-dispatcher speech-dispatcher-espeak-ng
  # tests and benchmarks: real MIDI songs, audio files made at test time, a virtual display
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth openttd-openmsx sox libsox-fmt-mp3
  # a private session bus for the folder chooser's tests
  dbus-daemon
  # the Debian package: CPack's file types, and its check
  file lintian
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
