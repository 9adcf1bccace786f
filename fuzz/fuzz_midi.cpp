// MIDI files: the parser, then the sequencer playing the song for a few virtual seconds.
#include <cstddef>
#include <cstdint>

#include "sound/midi_file.h"
#include "sound/midi_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orv::ByteSpan bytes(data, size);
  orv::NullMidiOutput output;
  orv::MidiPlayer player(output);
  player.LoadSong(bytes);
  // The last byte chooses looping, so both ends of a song are reached.
  player.SetLoop(size > 0 && (data[size - 1] & 1));
  if (player.PlayFromStart())
    for (int ms = 0; ms < 5000; ++ms) player.OnTimer();
  player.UnloadSong();
  return 0;
}
