#pragma once
// A disc image's audio track as one WAVE file in memory, for outputs that can only play whole
// files (the browser decodes a file; it cannot read the image as it plays).
#include <cstdint>
#include <vector>

#include "platform/audio.h"
#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

// The spans one after another as 16-bit stereo 44.1 kHz PCM behind a WAVE header; silent spans
// are zeros. TooLarge beyond `maxBytes` of audio (a WAVE file cannot hold 4 GB anyway),
// NotFound/Unreadable when a span's file cannot be read that far.
Result<Bytes> CdAudioAsWave(const std::vector<RawAudioSpan>& spans, uint64_t maxBytes);

}  // namespace orv
