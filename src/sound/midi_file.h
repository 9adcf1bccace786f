#pragma once
// A Standard MIDI File (format 0 or 1) flattened into one time-ordered list of records that
// the sequencer walks with no further parsing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/bytes.h"

namespace orv {

// One record of the list.
//   0x80..0xEF  a channel message (data2 is 0 for messages with one data byte);
//   0xF0        a system-exclusive message: data1 | data2 << 8 indexes `sysExBuffers`;
//   0xFF        a tempo, as two records: data1 | data2 << 8 of the first is the low 16 bits of
//               microseconds per quarter note, those of the second (delta 0) the high 16 bits.
struct MidiEvent {
  uint32_t delta = 0;  // ticks since the previous record
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

struct MidiSong {
  uint16_t division = 0;  // ticks per quarter note
  std::vector<MidiEvent> events;
  std::vector<Bytes> sysExBuffers;  // each 0xF0 followed by the data bytes of the file

  size_t eventCount() const { return events.size(); }
};

// Past these a song is cut short: a record holds a 16-bit buffer index, and no real song
// comes near four million records. System-exclusive messages longer than any device takes
// (sample dumps belong in no song) are left out.
inline constexpr size_t kMaxMidiEvents = size_t(1) << 22;
inline constexpr size_t kMaxSysExBuffers = size_t(1) << 16;
inline constexpr size_t kMaxSysExBytes = size_t(1) << 16;

// Nothing when the bytes are too short for a header or yield no record at all. Anything
// else gives the song as far as it can be read: chunks, lengths and events that run past the
// end of the data end their track there.
std::optional<MidiSong> ParseMidiSong(ByteSpan file);

}  // namespace orv
