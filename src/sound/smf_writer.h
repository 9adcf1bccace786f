#pragma once
// Writing Standard MIDI Files and PCM wave files: the game maker's tools and the demo game
// make their music and sounds with these, and tests build their songs with them.
#include <cstdint>
#include <vector>

#include "platform/bytes.h"

namespace orv {

struct SmfEvent {
  uint32_t tick = 0;     // absolute tick in its track
  Bytes bytes;           // a channel message, or FF type len data for a meta event
};

struct SmfTrack {
  std::vector<SmfEvent> events;  // in tick order
  void Note(uint32_t tick, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity);
  void Program(uint32_t tick, uint8_t channel, uint8_t program);
  void Controller(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value);
  void Tempo(uint32_t tick, uint32_t microsecondsPerQuarter);
  void Marker(uint32_t tick, std::string_view text);
  // Puts the events in tick order, keeping the order of events on the same tick.
  void Sort();
};

// A format 1 file (format 0 when there is one track) with the given division.
Bytes BuildSmf(const std::vector<SmfTrack>& tracks, uint16_t division);

// A 16-bit PCM wave file of the given samples.
Bytes BuildPcmWave(const std::vector<int16_t>& samples, uint32_t sampleRate, uint16_t channels);

}  // namespace orv
