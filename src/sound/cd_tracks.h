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

#include <vector>

#include "platform/game_folder.h"
#include "sound/cd_track_source.h"

namespace orv {

class CdTrackSet final : public CdTrackSource {
 public:
  static CdTrackSet Scan(const GameFolder& folder);

  // The file of a track, or nothing (a gap in the numbering, or no such track).
  std::optional<std::filesystem::path> FileFor(int track) const;
  std::optional<CdTrack> Track(int number) const override;
  int TrackCount() const override { return files_.empty() ? 0 : files_.rbegin()->first; }

  static constexpr int kMaxTrack = 99;  // as on an audio CD

 private:
  std::map<int, std::filesystem::path> files_;
};

// The folders a game keeps its CD in: its own, then its "cd" and "cdda" folders (any case).
std::vector<std::filesystem::path> CdFolders(const std::filesystem::path& gameRoot);

// The first cue sheet (by name) in the game's CD folders, as its real path; nothing when none.
std::optional<std::filesystem::path> FindCueSheet(const GameFolder& folder);

// The track number a file name stands for, or nothing when it is not a track file's name.
std::optional<int> CdTrackNumber(const std::string& fileName);

}  // namespace orv
