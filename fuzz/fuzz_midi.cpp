// MIDI files: the parser, then the sequencer playing the song for a few virtual seconds, or
// until it ends.
#include <cstddef>
#include <cstdint>

#include "sound/midi_file.h"
#include "sound/midi_player.h"

namespace {
// Long enough for a looping song to come round a few times; each millisecond is one tick call.
constexpr int kPlayMs = 2000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orv::ByteSpan bytes(data, size);
  orv::NullMidiOutput output;
  orv::MidiPlayer player(output);
  player.LoadSong(bytes);
  // The last byte chooses looping, so both ends of a song are reached.
  player.SetLoop(size > 0 && (data[size - 1] & 1));
  if (player.PlayFromStart())
    for (int ms = 0; ms < kPlayMs && player.Playing(); ++ms) player.OnTimer();
  player.UnloadSong();
  return 0;
}
