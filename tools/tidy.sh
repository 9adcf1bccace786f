#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the sources it is known to pass on, with the
# compile commands of a configured build, two files at a time:
#
#   tools/tidy.sh                       the default set below, build/ as the build folder
#   BUILD_DIR=build-x tools/tidy.sh     another build folder (configure it first)
#   tools/tidy.sh 'src/script/.*\.cpp'  other files, as regular expressions over the paths
#
# Every finding fails the run. The desktop backend's sound and its desktop services
# (src/platform/sdl's audio, synth, speech and portal files) are not in the default set yet:
# they still have findings of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy: no $build/compile_commands.json; configure first: cmake -S . -B $build -G Ninja" >&2
  exit 2
fi
if [ $# -eq 0 ]; then
  set -- 'src/platform/[^/]*\.cpp' 'src/platform/(headless|text)/.*\.cpp' \
    'src/graphics/(arc1|arc1_encoder|arc1_fast|blend|blend_x86|bmp_decoder|fade_table|jpeg_decoder|jpeg_encoder|picture_cache|picture_loader)\.cpp' \
    'src/platform/sdl/(desktop_[a-z_]+|window_[a-z_]+|stage_frames|sdl_keys|sdl_host|sdl_clock|sdl_clipboard|menu_commands|player_menu|modal_boxes|[a-z]+_presenter|present_choice|library_logs|raw_audio_stream|alsa_midi_output)\.cpp' \
    'src/app/(rollback|rollback_ring|story_rollback|packed_bytes|window_timers|wait_indicator|auto_mode|screenshots|save_slots|spoken_text|text_socket_control|skip_control)\.cpp' 'src/persist/scene_record\.cpp'
fi
# The build uses GCC; clang-tidy parses with clang, which does not know every GCC warning flag.
run-clang-tidy -j 2 -p "$build" -quiet -extra-arg=-Wno-unknown-warning-option "$@"
