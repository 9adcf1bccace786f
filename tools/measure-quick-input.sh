#!/usr/bin/env bash
# Measures what quick taps and clicks do in a real window: under a virtual display (Xvfb, with
# openbox framing the window as a desktop would), a small game types slow lines, flashes, then
# offers a choice and a name box; its TITLE commands name each stage in the window's caption.
# 12 Enter taps and 20 clicks are sent in under 1.5 s, and the captions are followed for 6 s
# after. Then the window is moved and the player restarted three times: where it stands each time.
#
#   tools/measure-quick-input.sh [PLAYER]      (default: build-test/orvane)
#
# Needs xvfb, xdotool and openbox (apt-get install xvfb xdotool openbox).
set -euo pipefail
player=$(realpath "${1:-build-test/orvane}")
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1920x1080x24 >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy
openbox >/dev/null 2>&1 &
sleep 1

game=$work/game
mkdir -p "$game"
printf '60\r\n60\r\n60\r\n60\r\n60\r\nstory.txt\r\npic.dat\r\nwave.dat\r\nmusic.dat\r\n' >"$game/init.def"
iconv -f UTF-8 -t CP932 <<'STORY' | sed 's/$/\r/' >"$game/story.txt"
&name:""
~TITLE "L1"
"一行目：ゆっくりと表示される長めの文章です。"\n
~TITLE "L2"
"二行目：これもゆっくりと表示される長めの文章です。"\n
~FLASH 255,255,255,3,200
~TITLE "L3"
"三行目：効果のあとの文章です。"\n
~TITLE "CHOICE"
~SELECT
{
北へ,@north
南へ,@south
}
*north
~TITLE "NORTH"
"北へ進んだ。"\n
~TITLE "NAMEBOX"
~INPUTBOX "名前","太郎",name,0
~TITLE "NAMED"
"おしまい"\n
*south
~TITLE "SOUTH"
"南へ進んだ。"\n
STORY

# Starts the player, waits for its window; prints the window's id.
start() {
  "$player" --window --scale 1 --config "$work/orvane.toml" --save-dir "$work/saves" "$game" >>"$work/out.log" 2>&1 &
  echo $! >"$work/pid"
  for _ in $(seq 50); do
    if id=$(xdotool search --sync --onlyvisible --name 'L1' 2>/dev/null | head -1) && [ -n "$id" ]; then
      sleep 1.5  # the first line types to its end
      echo "$id"
      return
    fi
    sleep 0.1
  done
  echo "no window" >&2
  exit 1
}

# The stages the caption went through for 6 s, each once.
follow() {
  local id=$1 last="" name
  for _ in $(seq 300); do
    name=$(xdotool getwindowname "$id" 2>/dev/null | cut -d' ' -f1 | sed 's/　.*//') || break
    [ "$name" != "$last" ] && printf '%s ' "$name" && last=$name
    sleep 0.02
  done
  echo
}

# Closes the window as a person does (Alt+F4 through the window manager) and waits for the end.
stop() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  xdotool key alt+F4 2>/dev/null || true
  local pid
  pid=$(cat "$work/pid")
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  echo "the player did not end on Alt+F4" >&2
  kill "$pid"
}

id=$(start)
echo "12 Enter taps, 80 ms apart:"
(for _ in $(seq 12); do xdotool key --window "$id" Return; sleep 0.08; done) &
follow "$id"
stop "$id"

id=$(start)
eval "$(xdotool getwindowgeometry --shell "$id")"
echo "20 clicks, 60 ms apart:"
xdotool mousemove $((X + 320)) $((Y + 200))
xdotool click --repeat 20 --delay 60 1 &
follow "$id"
stop "$id"

echo "window position over restarts (moved to 300,200 first):"
id=$(start)
xdotool windowmove "$id" 300 200
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$id")"
echo "  moved: $X,$Y"
stop "$id"
for run in 1 2 3; do
  id=$(start)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  echo "  start $run: $X,$Y"
  stop "$id"
done
