#pragma once
// How long a track file plays, read from its headers: WAVE, Ogg (Vorbis, Opus), FLAC and
// MPEG audio (MP3). The headless backend uses it to end tracks when their time is up.
#include <cstdint>
#include <optional>

#include "platform/bytes.h"

namespace orv {

// Milliseconds, rounded up; nothing when the format is not recognised or its length is not
// recorded (a FLAC stream that does not state its sample count).
std::optional<uint32_t> TrackLengthMs(ByteSpan file);

std::optional<uint32_t> OggLengthMs(ByteSpan file);
std::optional<uint32_t> FlacLengthMs(ByteSpan file);
std::optional<uint32_t> MpegAudioLengthMs(ByteSpan file);

}  // namespace orv
