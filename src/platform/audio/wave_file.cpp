#include "platform/audio/wave_file.h"

#include <algorithm>
#include <cstring>

namespace orv {
namespace {

constexpr uint16_t kTagPcm = 0x0001;
constexpr uint16_t kTagMsAdpcm = 0x0002;
constexpr uint16_t kTagFloat = 0x0003;
constexpr uint16_t kTagALaw = 0x0006;
constexpr uint16_t kTagMuLaw = 0x0007;
constexpr uint16_t kTagImaAdpcm = 0x0011;
constexpr uint16_t kTagExtensible = 0xFFFE;

bool IdIs(ByteSpan file, size_t at, const char (&id)[5]) {
  return at <= file.size() && file.size() - at >= 4 && std::memcmp(file.data() + at, id, 4) == 0;
}

struct Chunks {
  ByteSpan format;
  std::optional<ByteSpan> data;
};

// Walks the chunks after the RIFF header; the body of each is clipped to the file, and the
// pad byte after an odd-sized body is skipped.
Chunks FindChunks(ByteSpan file) {
  Chunks chunks;
  uint64_t at = 12;
  while (at + 8 <= file.size()) {
    const uint64_t size = *ReadU32LE(file, size_t(at) + 4);
    const size_t body = size_t(at) + 8;
    const ByteSpan bytes = file.subspan(body, size_t(std::min<uint64_t>(size, file.size() - body)));
    if (IdIs(file, size_t(at), "fmt ") && chunks.format.empty()) chunks.format = bytes;
    if (IdIs(file, size_t(at), "data") && !chunks.data) chunks.data = bytes;
    at = body + size + (size & 1);
  }
  return chunks;
}

// Frames in `bytes` of ADPCM blocks: whole blocks, then a last short block if it holds its
// header (`headerBytes` per channel, which also carry `headerSamples` samples).
uint64_t AdpcmFrames(uint64_t bytes, const WaveInfo& info, uint32_t samplesPerBlock, uint32_t headerBytes,
                     uint32_t headerSamples) {
  const uint64_t whole = bytes / info.blockAlign * samplesPerBlock;
  const uint64_t rest = bytes % info.blockAlign;
  const uint64_t header = uint64_t(headerBytes) * info.channels;
  if (rest < header) return whole;
  return whole + (rest - header) * 2 / info.channels + headerSamples;
}

}  // namespace

uint32_t WaveInfo::LengthMs() const {
  if (sampleRate == 0) return 0;
  return uint32_t(std::min<uint64_t>((frames * 1000 + sampleRate - 1) / sampleRate, UINT32_MAX));
}

std::optional<WaveInfo> ParseWaveFile(ByteSpan file) {
  if (!IdIs(file, 0, "RIFF") || !IdIs(file, 8, "WAVE")) return std::nullopt;
  const Chunks chunks = FindChunks(file);
  if (chunks.format.size() < 16 || !chunks.data) return std::nullopt;

  const ByteSpan fmt = chunks.format;
  uint16_t tag = *ReadU16LE(fmt, 0);
  WaveInfo info;
  info.channels = *ReadU16LE(fmt, 2);
  info.sampleRate = *ReadU32LE(fmt, 4);
  info.blockAlign = *ReadU16LE(fmt, 12);
  info.bitsPerSample = *ReadU16LE(fmt, 14);
  if (info.channels == 0 || info.sampleRate == 0 || info.blockAlign == 0) return std::nullopt;
  // The extensible form names the real encoding in the first two bytes of its sub-format.
  if (tag == kTagExtensible) {
    const auto subFormat = ReadU16LE(fmt, 24);
    if (!subFormat) return std::nullopt;
    tag = *subFormat;
  }

  const uint64_t dataBytes = chunks.data->size();
  switch (tag) {
    case kTagPcm:
    case kTagFloat:
    case kTagALaw:
    case kTagMuLaw:
      info.encoding = tag == kTagPcm     ? WaveEncoding::Pcm
                      : tag == kTagFloat ? WaveEncoding::Float
                      : tag == kTagALaw  ? WaveEncoding::ALaw
                                         : WaveEncoding::MuLaw;
      if (info.bitsPerSample == 0 || info.bitsPerSample > 64 ||
          info.blockAlign < info.channels * ((info.bitsPerSample + 7) / 8))
        return std::nullopt;
      info.frames = dataBytes / info.blockAlign;
      return info;
    case kTagMsAdpcm: {
      // Per channel a 7-byte header holding two samples, then two samples a byte.
      info.encoding = WaveEncoding::MsAdpcm;
      if (info.bitsPerSample != 4 || info.blockAlign < 7u * info.channels) return std::nullopt;
      const uint32_t computed = (info.blockAlign - 7u * info.channels) * 2 / info.channels + 2;
      const uint32_t stated = ReadU16LE(fmt, 16).value_or(0) >= 2 ? ReadU16LE(fmt, 18).value_or(0) : 0;
      info.frames = AdpcmFrames(dataBytes, info, stated ? std::min(stated, computed) : computed, 7, 2);
      return info;
    }
    case kTagImaAdpcm: {
      // Per channel a 4-byte header holding one sample, then two samples a byte.
      info.encoding = WaveEncoding::ImaAdpcm;
      if (info.bitsPerSample != 4 || info.blockAlign < 4u * info.channels) return std::nullopt;
      const uint32_t perBlock = (info.blockAlign - 4u * info.channels) * 2 / info.channels + 1;
      info.frames = AdpcmFrames(dataBytes, info, perBlock, 4, 1);
      return info;
    }
    default: return std::nullopt;
  }
}

}  // namespace orv
