#pragma once
// A CD image: a cue sheet and the files it names, played as a CD player plays the disc.
//
// A track plays from its INDEX 01 to the next track's INDEX 01, as "play track N" does on a
// drive: the pregap of the next track (its INDEX 00 stretch, silence on most discs) sounds at
// the end of this one, where a rip that appends gaps to the previous track has it too, and so
// does a PREGAP the sheet asks for without storing it, as silence. When the next track's
// INDEX 01 lies in the next file, the track plays to the end of its own file and on through
// the start of that file. Before a data track the drive plays that track's pregap as silence:
// its sectors are never read as sound. A track stops early only where the next file cannot be
// played as raw audio. The last track plays to the end of its file, the end of the disc
// (a POSTGAP is not played).
//
// Raw audio comes from BINARY files and from WAVE files in the CD's own format (16-bit PCM,
// stereo, 44.1 kHz), whose data chunk is then read like a BINARY file. Any other file (Ogg,
// FLAC, MP3, another WAVE) plays whole, as a track file does, and so holds one track only.
// Data tracks keep their numbers but play nothing.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/cue_sheet.h"
#include "platform/bytes.h"
#include "platform/result.h"
#include "sound/cd_track_source.h"

namespace orv {

class GameFolder;

// One FILE of a sheet as found on the disk.
struct CdImageFile {
  enum class Kind { Raw, Decoded, Missing };
  Kind kind = Kind::Missing;
  std::filesystem::path path;
  uint64_t dataOffset = 0;  // where the raw audio starts: 0, or a WAVE file's data chunk
  uint64_t dataBytes = 0;
};

// The FILE names of a sheet in order, one for each run of tracks in one file.
std::vector<std::string> CdImageFileNames(const CueSheet& sheet);

// Where a WAVE file's samples are when they are raw CD audio: the data chunk's offset and
// length (clipped to fileSize), found in `head`, the file's first bytes. Nothing for any
// other file.
struct RawAudioPlace {
  uint64_t offset = 0;
  uint64_t length = 0;
};
std::optional<RawAudioPlace> CdFormatWaveData(ByteSpan head, uint64_t fileSize);

class CdImage final : public CdTrackSource {
 public:
  // Reads `cueName` in `cueFolder`, whose files the sheet names (relative to it, any letter
  // case, "\" or "/", never outside it; a name with folders that is not found is tried by its
  // last part alone, as sheets often carry the ripping machine's own paths). An error when the
  // sheet is missing, unreadable, or leaves no track that can play.
  static Result<CdImage> Open(const GameFolder& cueFolder, std::string_view cueName);
  // The tracks laid out over files already found, one per CdImageFileNames entry.
  static CdImage LayOut(const CueSheet& sheet, const std::vector<CdImageFile>& files);

  std::optional<CdTrack> Track(int number) const override;
  int TrackCount() const override { return int(tracks_.size()); }
  // What keeps some tracks from playing, in one line; empty when every audio track plays.
  std::string Problems() const;

 private:
  std::vector<std::optional<CdTrack>> tracks_;
  std::vector<std::string> problems_;
};

}  // namespace orv
