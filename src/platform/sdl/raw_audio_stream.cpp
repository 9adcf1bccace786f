#include "platform/sdl/raw_audio_stream.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "platform/bytes.h"

namespace orv {
namespace {

constexpr size_t kHeaderBytes = 44;
// The data chunk's size field has 32 bits, less the rest of the RIFF header.
constexpr uint64_t kLongestData = 0xFFFFFFFFull - (kHeaderBytes - 8);

struct OpenSpan {
  SDL_RWops* file = nullptr;  // none: silence
  uint64_t offset = 0;
  uint64_t length = 0;
};

struct RawStream {
  std::array<uint8_t, kHeaderBytes> header{};
  std::vector<OpenSpan> spans;
  uint64_t dataBytes = 0;
  uint64_t position = 0;

  ~RawStream() {
    for (const OpenSpan& span : spans)
      if (span.file) SDL_RWclose(span.file);
  }
  uint64_t Size() const { return kHeaderBytes + dataBytes; }
};

std::array<uint8_t, kHeaderBytes> WaveHeader(uint32_t dataBytes) {
  std::array<uint8_t, kHeaderBytes> h{};
  auto put16 = [&](size_t at, uint16_t v) {
    h[at] = uint8_t(v);
    h[at + 1] = uint8_t(v >> 8);
  };
  std::memcpy(&h[0], "RIFF", 4);
  PutU32LE(&h[4], uint32_t(kHeaderBytes - 8) + dataBytes);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  PutU32LE(&h[16], 16);
  put16(20, 1);  // PCM
  put16(22, 2);
  PutU32LE(&h[24], 44100);
  PutU32LE(&h[28], kCdAudioBytesPerSecond);
  put16(32, 4);
  put16(34, 16);
  std::memcpy(&h[36], "data", 4);
  PutU32LE(&h[40], dataBytes);
  return h;
}

RawStream* StreamOf(SDL_RWops* context) { return static_cast<RawStream*>(context->hidden.unknown.data1); }

Sint64 SDLCALL StreamSize(SDL_RWops* context) { return Sint64(StreamOf(context)->Size()); }

Sint64 SDLCALL StreamSeek(SDL_RWops* context, Sint64 offset, int whence) {
  RawStream& stream = *StreamOf(context);
  Sint64 base = 0;
  if (whence == RW_SEEK_CUR) base = Sint64(stream.position);
  if (whence == RW_SEEK_END) base = Sint64(stream.Size());
  const Sint64 target = base + offset;
  if (target < 0) return SDL_SetError("seek before the start of a CD track");
  stream.position = std::min<uint64_t>(uint64_t(target), stream.Size());
  return Sint64(stream.position);
}

// Bytes of the data at `at` (counted from the end of the header), from whichever spans hold them.
size_t ReadData(RawStream& stream, uint64_t at, uint8_t* out, size_t wanted) {
  size_t done = 0;
  uint64_t spanStart = 0;
  for (const OpenSpan& span : stream.spans) {
    if (done == wanted) break;
    const uint64_t spanEnd = spanStart + span.length;
    if (at + done < spanEnd) {
      const uint64_t inSpan = at + done - spanStart;
      const size_t take = size_t(std::min<uint64_t>(wanted - done, spanEnd - (at + done)));
      if (!span.file) {
        std::memset(out + done, 0, take);
        done += take;
        spanStart = spanEnd;
        continue;
      }
      if (SDL_RWseek(span.file, Sint64(span.offset + inSpan), RW_SEEK_SET) < 0) break;
      const size_t got = SDL_RWread(span.file, out + done, 1, take);
      done += got;
      if (got < take) break;  // the file shrank under us: the track ends early
    }
    spanStart = spanEnd;
  }
  return done;
}

size_t SDLCALL StreamRead(SDL_RWops* context, void* ptr, size_t size, size_t count) {
  RawStream& stream = *StreamOf(context);
  if (size == 0) return 0;
  const uint64_t available = stream.Size() - stream.position;
  const size_t wanted = size_t(std::min<uint64_t>(available, uint64_t(size) * count));
  auto* out = static_cast<uint8_t*>(ptr);
  size_t done = 0;
  if (stream.position < kHeaderBytes) {
    done = std::min(wanted, size_t(kHeaderBytes - stream.position));
    std::memcpy(out, stream.header.data() + stream.position, done);
  }
  if (done < wanted) {
    const uint64_t at = stream.position + done - kHeaderBytes;
    done += ReadData(stream, at, out + done, wanted - done);
  }
  stream.position += done;
  return done / size;
}

size_t SDLCALL StreamWrite(SDL_RWops*, const void*, size_t, size_t) {
  SDL_SetError("a CD track cannot be written");
  return 0;
}

int SDLCALL StreamClose(SDL_RWops* context) {
  delete StreamOf(context);
  SDL_FreeRW(context);
  return 0;
}

}  // namespace

SDL_RWops* OpenRawAudioAsWave(const std::vector<RawAudioSpan>& spans) {
  auto stream = std::make_unique<RawStream>();
  for (const RawAudioSpan& span : spans) {
    if (span.Silent()) {
      stream->spans.push_back({nullptr, 0, span.length});
      stream->dataBytes += span.length;
      continue;
    }
    SDL_RWops* file = SDL_RWFromFile(span.file.string().c_str(), "rb");
    if (!file) return nullptr;
    stream->spans.push_back({file, span.offset, span.length});
    const Sint64 size = SDL_RWsize(file);
    if (size < 0 || span.offset > uint64_t(size) || uint64_t(size) - span.offset < span.length) {
      SDL_SetError("%s ends before the CD track does", span.file.string().c_str());
      return nullptr;
    }
    stream->dataBytes += span.length;
  }
  // Whole sample frames only, and no more than a WAVE header can state.
  stream->dataBytes = std::min(stream->dataBytes, kLongestData) / 4 * 4;
  stream->header = WaveHeader(uint32_t(stream->dataBytes));

  SDL_RWops* context = SDL_AllocRW();
  if (!context) return nullptr;
  context->type = SDL_RWOPS_UNKNOWN;
  context->size = StreamSize;
  context->seek = StreamSeek;
  context->read = StreamRead;
  context->write = StreamWrite;
  context->close = StreamClose;
  context->hidden.unknown.data1 = stream.release();
  return context;
}

}  // namespace orv
