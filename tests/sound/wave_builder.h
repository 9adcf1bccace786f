#pragma once
// Builds wave files for tests: PCM, Microsoft ADPCM and IMA ADPCM, with silent data.
#include <cstdint>

#include "platform/bytes.h"

namespace orv::test {

inline void AppendU16LE(Bytes& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

inline Bytes RiffWave(const Bytes& fmt, const Bytes& data) {
  Bytes out{'R', 'I', 'F', 'F'};
  AppendU32LE(out, uint32_t(4 + 8 + fmt.size() + 8 + data.size()));
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  AppendU32LE(out, uint32_t(fmt.size()));
  out.insert(out.end(), fmt.begin(), fmt.end());
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  AppendU32LE(out, uint32_t(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign, uint16_t bits) {
  Bytes fmt;
  AppendU16LE(fmt, tag);
  AppendU16LE(fmt, channels);
  AppendU32LE(fmt, rate);
  AppendU32LE(fmt, rate * blockAlign);
  AppendU16LE(fmt, blockAlign);
  AppendU16LE(fmt, bits);
  return fmt;
}

inline Bytes PcmWave(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t frames) {
  const uint16_t align = uint16_t(channels * bits / 8);
  return RiffWave(FormatChunk(1, channels, rate, align, bits), Bytes(size_t(frames) * align, 0));
}

// Blocks of silence: each channel's header says "predictor 0, delta 16", the rest is zero.
inline Bytes MsAdpcmWave(uint16_t channels, uint32_t rate, uint16_t blockAlign, uint32_t dataBytes) {
  Bytes fmt = FormatChunk(2, channels, rate, blockAlign, 4);
  AppendU16LE(fmt, 32);  // extra bytes
  AppendU16LE(fmt, uint16_t((blockAlign - 7 * channels) * 2 / channels + 2));
  AppendU16LE(fmt, 7);
  for (const int16_t c : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232}) AppendU16LE(fmt, uint16_t(c));
  Bytes data(dataBytes, 0);
  for (size_t block = 0; block < data.size(); block += blockAlign)
    for (size_t ch = 0; ch < channels; ++ch) {
      const size_t delta = block + channels + ch * 2;  // after the predictor bytes
      if (delta + 1 < data.size()) data[delta] = 16;
    }
  return RiffWave(fmt, data);
}

inline Bytes ImaAdpcmWave(uint16_t channels, uint32_t rate, uint16_t blockAlign, uint32_t dataBytes) {
  Bytes fmt = FormatChunk(0x11, channels, rate, blockAlign, 4);
  AppendU16LE(fmt, 2);
  AppendU16LE(fmt, uint16_t((blockAlign - 4 * channels) * 2 / channels + 1));
  return RiffWave(fmt, Bytes(dataBytes, 0));
}

}  // namespace orv::test
