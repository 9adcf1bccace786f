#pragma once
// Raw CD audio from a disc image, as SDL_mixer music: a read-only SDL_RWops that shows a
// 44-byte WAVE header followed by the spans' bytes, read from their files as the mixer asks
// for them, so a track of a large image streams like a track file and ends, repeats and
// takes the CD volume the same way.
#include <vector>

#include "platform/audio.h"

struct SDL_RWops;

namespace orv {

// Nothing (with SDL's error set) when a file cannot be opened or a span lies beyond its end.
// The stream owns the files it opened; SDL_RWclose releases them.
SDL_RWops* OpenRawAudioAsWave(const std::vector<RawAudioSpan>& spans);

}  // namespace orv
