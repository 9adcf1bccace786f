#pragma once
// The header of a RIFF WAVE file: enough to know whether it can be played and for how long.
#include <cstdint>
#include <optional>

#include "platform/bytes.h"

namespace orv {

enum class WaveEncoding { Pcm, Float, ALaw, MuLaw, MsAdpcm, ImaAdpcm };

struct WaveInfo {
  WaveEncoding encoding = WaveEncoding::Pcm;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint64_t frames = 0;  // sample frames in the data chunk (as far as the file holds it)

  // Milliseconds, rounded up so that a sound is never taken as over before it is.
  uint32_t LengthMs() const;
};

// Nothing when the bytes are not a wave file in an encoding the player decodes (PCM,
// floating point, A-law, mu-law, Microsoft ADPCM, IMA ADPCM). A data chunk longer than the
// file counts as far as the file goes.
std::optional<WaveInfo> ParseWaveFile(ByteSpan file);

}  // namespace orv
