#pragma once
// Where the CD's tracks come from: ripped track files, or a disc image (a cue sheet and the
// files it names). CDPLAY asks the one the game has for a track by its number.
#include <filesystem>
#include <optional>
#include <variant>
#include <vector>

#include "platform/audio.h"

namespace orv {

// What plays for a track: a file of its own, or stretches of raw audio in a disc image.
using CdTrack = std::variant<std::filesystem::path, std::vector<RawAudioSpan>>;

class CdTrackSource {
 public:
  virtual ~CdTrackSource() = default;
  // Nothing for a track that is not there or cannot play (a data track, a missing file).
  virtual std::optional<CdTrack> Track(int number) const = 0;
  virtual int TrackCount() const = 0;
};

}  // namespace orv
