#include "platform/audio/track_length.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/wave_file.h"

namespace orv {
namespace {

bool HasAt(ByteSpan file, size_t at, const char* text, size_t length) {
  return at <= file.size() && file.size() - at >= length && std::memcmp(file.data() + at, text, length) == 0;
}

std::optional<uint32_t> Milliseconds(uint64_t samples, uint32_t rate) {
  if (rate == 0) return std::nullopt;
  return uint32_t(std::min<uint64_t>((samples * 1000 + rate - 1) / rate, UINT32_MAX));
}

uint64_t ReadU64LE(ByteSpan b, size_t at) { return uint64_t(*ReadU32LE(b, at)) | uint64_t(*ReadU32LE(b, at + 4)) << 32; }

// An ID3v2 tag in front of FLAC or MP3 data: its size, or 0.
size_t Id3v2Size(ByteSpan file) {
  if (!HasAt(file, 0, "ID3", 3) || file.size() < 10) return 0;
  const size_t size = size_t(file[6] & 0x7F) << 21 | size_t(file[7] & 0x7F) << 14 | size_t(file[8] & 0x7F) << 7 |
                      size_t(file[9] & 0x7F);
  const size_t footer = (file[5] & 0x10) ? 10 : 0;
  return std::min(file.size(), 10 + size + footer);
}

// --- Ogg -------------------------------------------------------------------------------
// A page: "OggS", version, flags, 64-bit granule position, serial, sequence, checksum,
// segment count, segment table, then the packets' bytes.
constexpr size_t kOggHeader = 27;

std::optional<ByteSpan> FirstOggPacket(ByteSpan file) {
  if (!HasAt(file, 0, "OggS", 4) || file.size() < kOggHeader) return std::nullopt;
  const size_t segments = file[26];
  if (file.size() < kOggHeader + segments) return std::nullopt;
  size_t length = 0;
  for (size_t i = 0; i < segments; ++i) {
    length += file[kOggHeader + i];
    if (file[kOggHeader + i] < 255) break;
  }
  const size_t body = kOggHeader + segments;
  if (file.size() - body < length) return std::nullopt;
  return file.subspan(body, length);
}

// The granule position of the last page of the stream with this serial number.
std::optional<uint64_t> LastGranule(ByteSpan file, uint32_t serial) {
  for (size_t at = file.size() >= kOggHeader ? file.size() - kOggHeader + 1 : 0; at-- > 0;) {
    if (file[at] != 'O' || !HasAt(file, at, "OggS", 4) || file[at + 4] != 0) continue;
    if (*ReadU32LE(file, at + 14) != serial) continue;
    const uint64_t granule = ReadU64LE(file, at + 6);
    if (granule != UINT64_MAX) return granule;
  }
  return std::nullopt;
}

// --- MPEG audio ------------------------------------------------------------------------
struct MpegFrame {
  uint32_t size = 0;
  uint32_t samples = 0;
  uint32_t rate = 0;
  bool mpeg1 = false;
  bool mono = false;
};

std::optional<MpegFrame> ReadMpegFrame(ByteSpan file, size_t at) {
  const auto header = ReadU32BE(file, at);
  if (!header || (*header & 0xFFE00000) != 0xFFE00000) return std::nullopt;
  const uint32_t version = *header >> 19 & 3;  // 0: 2.5, 2: 2, 3: 1
  const uint32_t layer = *header >> 17 & 3;    // 1: III, 2: II, 3: I
  const uint32_t bitrateIndex = *header >> 12 & 15;
  const uint32_t rateIndex = *header >> 10 & 3;
  const uint32_t padding = *header >> 9 & 1;
  if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;

  static constexpr uint16_t kBitrates[2][3][15] = {
      // MPEG 1: layer I, II, III
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
      // MPEG 2 and 2.5
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static constexpr uint32_t kRates[3] = {44100, 48000, 32000};

  MpegFrame frame;
  frame.mpeg1 = version == 3;
  frame.mono = (*header >> 6 & 3) == 3;
  frame.rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  const uint32_t layerIndex = 3 - layer;  // 0: I, 1: II, 2: III
  const uint32_t bitrate = kBitrates[frame.mpeg1 ? 0 : 1][layerIndex][bitrateIndex] * 1000;
  if (layerIndex == 0) {
    frame.samples = 384;
    frame.size = (12 * bitrate / frame.rate + padding) * 4;
  } else if (layerIndex == 1 || frame.mpeg1) {
    frame.samples = 1152;
    frame.size = 144 * bitrate / frame.rate + padding;
  } else {
    frame.samples = 576;
    frame.size = 72 * bitrate / frame.rate + padding;
  }
  if (frame.size < 4) return std::nullopt;
  return frame;
}

// The frame count of a Xing or Info header in the first frame, written by most encoders.
std::optional<uint32_t> XingFrames(ByteSpan file, size_t at, const MpegFrame& frame) {
  const size_t sideInfo = frame.mpeg1 ? (frame.mono ? 17 : 32) : (frame.mono ? 9 : 17);
  const size_t tag = at + 4 + sideInfo;
  if (!HasAt(file, tag, "Xing", 4) && !HasAt(file, tag, "Info", 4)) return std::nullopt;
  const auto flags = ReadU32BE(file, tag + 4);
  if (!flags || !(*flags & 1)) return std::nullopt;
  return ReadU32BE(file, tag + 8);
}

}  // namespace

std::optional<uint32_t> OggLengthMs(ByteSpan file) {
  const auto packet = FirstOggPacket(file);
  if (!packet) return std::nullopt;
  const uint32_t serial = *ReadU32LE(file, 14);
  uint32_t rate = 0;
  uint64_t skip = 0;
  if (HasAt(*packet, 0, "\x01vorbis", 7) && packet->size() >= 16) {
    rate = *ReadU32LE(*packet, 12);
  } else if (HasAt(*packet, 0, "OpusHead", 8) && packet->size() >= 19) {
    rate = 48000;  // Opus granule positions always count at 48 kHz
    skip = *ReadU16LE(*packet, 10);
  } else {
    return std::nullopt;
  }
  const auto granule = LastGranule(file, serial);
  if (!granule) return std::nullopt;
  return Milliseconds(*granule > skip ? *granule - skip : 0, rate);
}

std::optional<uint32_t> FlacLengthMs(ByteSpan file) {
  const size_t start = Id3v2Size(file);
  // "fLaC", then the STREAMINFO block: a 4-byte block header and 34 bytes, in which a 20-bit
  // sample rate, 3 bits of channels, 5 of bits per sample and a 36-bit sample count stand
  // from byte 10.
  if (!HasAt(file, start, "fLaC", 4) || file.size() - start < 8 + 18) return std::nullopt;
  if ((file[start + 4] & 0x7F) != 0) return std::nullopt;
  const ByteSpan info = file.subspan(start + 8);
  const uint32_t rate = uint32_t(info[10]) << 12 | uint32_t(info[11]) << 4 | info[12] >> 4;
  const uint64_t samples = uint64_t(info[13] & 0x0F) << 32 | *ReadU32BE(info, 14);
  if (samples == 0) return std::nullopt;
  return Milliseconds(samples, rate);
}

std::optional<uint32_t> MpegAudioLengthMs(ByteSpan file) {
  size_t at = Id3v2Size(file);
  const auto first = ReadMpegFrame(file, at);
  if (!first) return std::nullopt;
  if (const auto frames = XingFrames(file, at, *first)) return Milliseconds(uint64_t(*frames) * first->samples, first->rate);
  // Two frames in a row tell MPEG audio from bytes that happen to look like a frame header.
  if (at + first->size < file.size() && !ReadMpegFrame(file, at + first->size)) return std::nullopt;
  uint64_t samples = 0;
  while (const auto frame = ReadMpegFrame(file, at)) {
    if (frame->rate != first->rate) break;
    samples += frame->samples;
    at += frame->size;
  }
  return Milliseconds(samples, first->rate);
}

std::optional<uint32_t> TrackLengthMs(ByteSpan file) {
  if (const auto wave = ParseWaveFile(file)) return wave->LengthMs();
  if (HasAt(file, 0, "OggS", 4)) return OggLengthMs(file);
  if (HasAt(file, Id3v2Size(file), "fLaC", 4)) return FlacLengthMs(file);
  return MpegAudioLengthMs(file);
}

}  // namespace orv
