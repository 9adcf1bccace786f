#!/usr/bin/env bash
# What the window costs while a person plays: the player's CPU share over 30 s (utime + stime
# of all its threads, from /proc) while it types, while the wait mark blinks, idle at a page,
# idle after its song has ended and with the history open; and its peak memory. It runs the
# player in a window on a virtual display (Xvfb: software OpenGL only, like a VM or a remote
# desktop) with SDL's dummy sound device, which takes the stream at a real device's pace.
#
#   bench/window_cpu.sh PLAYER [SECONDS] [SCALE] [CASES]
#
# CASES: some of "typing blink idle music history" (default: all).
# Set ORVANE_PRESENT=accelerated to time the OpenGL path on the same machine. Needs Xvfb,
# xdotool (keys for auto mode, the wheel for the history) and iconv.
set -euo pipefail
player=$(realpath "$1")
seconds=${2:-30}
scale=${3:-2}
cases=${4:-typing blink idle music history}
work=$(mktemp -d)
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy
hz=$(getconf CLK_TCK)

# A one-second song: a piano chord.
song() {
  printf 'MThd\0\0\0\6\0\0\0\1\0\140MTrk\0\0\0\027'
  printf '\0\300\0\0\220\74\144\0\100\144\201\100\200\74\0\0\100\0\0\377\57\0'
}

# make_game NAME SCENARIO_LINES... : a game folder with five message speeds of 50 ms.
make_game() {
  local dir=$work/$1
  shift
  mkdir -p "$dir"
  printf '50\r\n50\r\n50\r\n50\r\n50\r\nstory.txt\r\npic.dat\r\nwave.dat\r\nmusic.dat\r\n' >"$dir/init.def"
  printf '%s\r\n' '~BOXSIZE 16,320,624,468' '~BOXCOL 16,24,64,176' '~TXTPOS 36,336' '~FONTSIZE 18' '~FONTCOLOR 255,255,255,0' "$@" |
    iconv -f UTF-8 -t CP932 >"$dir/story.txt"
}

text='"いろはにほへとちりぬるをわかよたれそつねならむ"'
# Auto mode without its pauses: the text types on, 50 ms a character, for as long as it runs.
printf '[auto]\nbase_delay_ms = 0\nper_character_delay_ms = 0\n' >"$work/typing.toml"
make_game typing '~NVMODE 0,0,0' '*top' "$text\\n" "$text\\n" "$text\\n" "$text\\p" '~GOTO *top'
make_game blink '~NVMODE 1,0,250' '"待っています。"\p' '"終わり"\p'
# The wait marks: 12 x 12 yellow squares, see-through at the bottom-left pixel's colour.
for icon in icon1.bmp icon2.bmp; do
  python3 - "$work/blink/$icon" <<'PY'
import struct, sys
side = 12
row = b"".join(b"\x00\xff\xff" for _ in range(side))
pixels = b"\x00\x00\x00" + row[3:] + row * (side - 1)  # rows bottom-up: the first is the bottom
header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + pixels)
PY
done
make_game idle '~NVMODE 0,0,0' '"待っています。"\p' '"終わり"\p'
make_game music '~NVMODE 0,0,0' '~MIDIPLAY "song.mid",0' '"待っています。"\p' '"終わり"\p'
song >"$work/music/song.mid"
make_game history '~NVMODE 0,0,0' '"一頁"\p' '"二頁"\p' '"三頁"\p' '"待っています。"\p'

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure NAME SETTLE_SECONDS [xdotool actions...]
measure() {
  local name=$1 settle=$2
  shift 2
  "$player" --window --scale "$scale" --config "$work/$name.toml" "$work/$name" >"$work/$name.log" 2>&1 &
  local pid=$!
  sleep 2
  if [ $# -gt 0 ]; then
    local window
    window=$(xdotool search --sync --pid "$pid" | head -1)
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    "$@" "$window"
  fi
  sleep "$settle"
  local before after
  before=$(ticks "$pid")
  sleep "$seconds"
  after=$(ticks "$pid")
  local gl="no"
  grep -qE 'libGL[.X]|libEGL|libLLVM|swrast|llvmpipe' "/proc/$pid/maps" && gl="yes"
  local peak
  peak=$(awk '/VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v n="$name" -v t=$((after - before)) -v hz="$hz" -v s="$seconds" -v gl="$gl" -v peak="$peak" \
    'BEGIN {printf "%-10s %6.2f %% CPU   peak %6.1f MB   OpenGL loaded: %s\n", n, 100 * t / hz / s, peak, gl}'
}

auto_mode() { xdotool key --window "$1" a; }
history_up() { xdotool mousemove --window "$1" 320 240 click 4; }
clicks() { for _ in 1 2 3; do xdotool mousemove --window "$1" 320 240 click 1; sleep 0.3; done; }
history() { clicks "$1"; history_up "$1"; }

echo "player: $player, scale $scale, ${seconds} s each, ORVANE_PRESENT=${ORVANE_PRESENT:-unset}"
for c in $cases; do
  case $c in
    typing) measure typing 1 auto_mode ;;
    blink) measure blink 1 ;;
    idle) measure idle 1 ;;
    music) measure music 6 ;;
    history) measure history 1 history ;;
  esac
done
