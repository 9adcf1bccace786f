#include "sound/smf_writer.h"

#include <algorithm>
#include <string_view>

namespace orv {

namespace {
void AppendBE32(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}
void AppendBE16(Bytes& out, uint16_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}
void AppendVarLen(Bytes& out, uint32_t v) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = uint8_t(v & 0x7F);
    v >>= 7;
  } while (v != 0);
  while (n > 0) {
    uint8_t g = groups[--n];
    out.push_back(n > 0 ? uint8_t(g | 0x80) : g);
  }
}
}  // namespace

void SmfTrack::Note(uint32_t tick, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity) {
  events.push_back({tick, {uint8_t(0x90 | channel), key, velocity}});
  events.push_back({tick + length, {uint8_t(0x80 | channel), key, 0}});
}

void SmfTrack::Program(uint32_t tick, uint8_t channel, uint8_t program) {
  events.push_back({tick, {uint8_t(0xC0 | channel), program}});
}

void SmfTrack::Controller(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value) {
  events.push_back({tick, {uint8_t(0xB0 | channel), controller, value}});
}

void SmfTrack::Tempo(uint32_t tick, uint32_t us) {
  events.push_back({tick, {0xFF, 0x51, 0x03, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)}});
}

void SmfTrack::Marker(uint32_t tick, std::string_view text) {
  Bytes bytes = {0xFF, 0x06, uint8_t(text.size())};
  bytes.insert(bytes.end(), text.begin(), text.end());
  events.push_back({tick, bytes});
}

void SmfTrack::Sort() {
  std::stable_sort(events.begin(), events.end(), [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
}

Bytes BuildSmf(const std::vector<SmfTrack>& tracks, uint16_t division) {
  Bytes out = {'M', 'T', 'h', 'd'};
  AppendBE32(out, 6);
  AppendBE16(out, tracks.size() == 1 ? 0 : 1);
  AppendBE16(out, uint16_t(tracks.size()));
  AppendBE16(out, division);
  for (SmfTrack track : tracks) {
    track.Sort();
    Bytes data;
    uint32_t last = 0;
    for (const auto& event : track.events) {
      AppendVarLen(data, event.tick - last);
      last = event.tick;
      data.insert(data.end(), event.bytes.begin(), event.bytes.end());
    }
    AppendVarLen(data, 0);
    data.insert(data.end(), {0xFF, 0x2F, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    AppendBE32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
  }
  return out;
}

Bytes BuildPcmWave(const std::vector<int16_t>& samples, uint32_t sampleRate, uint16_t channels) {
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  Bytes out = {'R', 'I', 'F', 'F'};
  AppendU32LE(out, 36 + dataBytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  AppendU32LE(out, 16);
  out.insert(out.end(), {1, 0, uint8_t(channels), 0});
  AppendU32LE(out, sampleRate);
  AppendU32LE(out, sampleRate * channels * 2);
  out.insert(out.end(), {uint8_t(channels * 2), 0, 16, 0});
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  AppendU32LE(out, dataBytes);
  for (int16_t s : samples) {
    out.push_back(uint8_t(s));
    out.push_back(uint8_t(uint16_t(s) >> 8));
  }
  return out;
}

}  // namespace orv
