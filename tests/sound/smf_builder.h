#pragma once
// Builds Standard MIDI Files for tests, chunk by chunk.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/bytes.h"

namespace orv::test {

inline Bytes VarLen(uint32_t value) {
  Bytes out{uint8_t(value & 0x7F)};
  while (value >>= 7) out.insert(out.begin(), uint8_t(0x80 | (value & 0x7F)));
  return out;
}

inline void AppendU32BE(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// The event bytes of one track chunk.
class Track {
 public:
  Track& Event(uint32_t delta, std::initializer_list<uint8_t> bytes) {
    const Bytes d = VarLen(delta);
    body_.insert(body_.end(), d.begin(), d.end());
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Track& Raw(std::initializer_list<uint8_t> bytes) {
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Track& Tempo(uint32_t delta, uint32_t usPerQuarter) {
    return Event(delta, {0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8), uint8_t(usPerQuarter)});
  }
  Track& EndOfTrack(uint32_t delta = 0) { return Event(delta, {0xFF, 0x2F, 0x00}); }

  const Bytes& body() const { return body_; }

 private:
  Bytes body_;
};

// "MThd" 6, format, track count, division, then one "MTrk" chunk per track.
inline Bytes Smf(uint16_t division, const std::vector<Track>& tracks, uint16_t format = 1) {
  Bytes out{'M', 'T', 'h', 'd'};
  AppendU32BE(out, 6);
  for (const uint16_t v : {format, uint16_t(tracks.size()), division}) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
  }
  for (const Track& track : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    AppendU32BE(out, uint32_t(track.body().size()));
    out.insert(out.end(), track.body().begin(), track.body().end());
  }
  return out;
}

}  // namespace orv::test
