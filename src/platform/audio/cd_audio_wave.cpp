#include "platform/audio/cd_audio_wave.h"

#include <fstream>
#include <limits>

namespace orv {

namespace {

void PutLe(Bytes& out, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out[at + size_t(i)] = uint8_t(value >> (8 * i));
}

constexpr size_t kHeaderBytes = 44;

}  // namespace

Result<Bytes> CdAudioAsWave(const std::vector<RawAudioSpan>& spans, uint64_t maxBytes) {
  uint64_t total = 0;
  for (const RawAudioSpan& span : spans) total += span.length;
  // A frame split in two would swap the channels of everything after it.
  total &= ~uint64_t(3);
  const uint64_t limit = std::min<uint64_t>(maxBytes, std::numeric_limits<uint32_t>::max() - kHeaderBytes);
  if (total > limit) return Error{ErrorKind::TooLarge, "the track holds " + std::to_string(total) + " bytes of audio"};

  Bytes wave(kHeaderBytes + size_t(total), 0);
  const char* tags[] = {"RIFF", "WAVE", "fmt ", "data"};
  const size_t tagAt[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i)
    for (int c = 0; c < 4; ++c) wave[tagAt[i] + size_t(c)] = uint8_t(tags[i][c]);
  PutLe(wave, 4, uint32_t(kHeaderBytes - 8 + total), 4);
  PutLe(wave, 16, 16, 4);  // the format chunk's size
  PutLe(wave, 20, 1, 2);   // PCM
  PutLe(wave, 22, 2, 2);   // channels
  PutLe(wave, 24, 44100, 4);
  PutLe(wave, 28, kCdAudioBytesPerSecond, 4);
  PutLe(wave, 32, 4, 2);   // bytes a frame
  PutLe(wave, 34, 16, 2);  // bits a sample
  PutLe(wave, 40, uint32_t(total), 4);

  size_t at = kHeaderBytes;
  for (const RawAudioSpan& span : spans) {
    const size_t length = size_t(std::min<uint64_t>(span.length, wave.size() - at));
    if (!span.Silent() && length > 0) {
      std::ifstream in(span.file, std::ios::binary);
      if (!in) return Error{ErrorKind::NotFound, span.file.string() + " cannot be opened"};
      in.seekg(std::streamoff(span.offset));
      in.read(reinterpret_cast<char*>(wave.data() + at), std::streamsize(length));
      if (size_t(in.gcount()) != length)
        return Error{ErrorKind::Unreadable, span.file.string() + " ends before the track does"};
    }
    at += length;
  }
  return wave;
}

}  // namespace orv
