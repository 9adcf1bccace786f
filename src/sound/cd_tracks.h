#pragma once
// Audio CD tracks ripped to files in the game folder. A track is a file named trackNN,
// track0N, track_N or track_0N (any letter case) with the extension .ogg, .flac, .mp3 or
// .wav, in the game folder itself or in a "cd" or "cdda" folder inside it. The disc has as
// many tracks as the highest number found.
//
// A disc plays its last track to the end of the disc; with one file per track that is
// simply the last file, so the track numbered TrackCount() plays its own file like any other.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/game_folder.h"

namespace orv {

class CdTrackSet {
 public:
  static CdTrackSet Scan(const GameFolder& folder);

  // The file of a track, or nothing (a gap in the numbering, or no such track).
  std::optional<std::filesystem::path> FileFor(int track) const;
  int TrackCount() const { return files_.empty() ? 0 : files_.rbegin()->first; }

  static constexpr int kMaxTrack = 99;  // as on an audio CD

 private:
  std::map<int, std::filesystem::path> files_;
};

// The track number a file name stands for, or nothing when it is not a track file's name.
std::optional<int> CdTrackNumber(const std::string& fileName);

}  // namespace orv
