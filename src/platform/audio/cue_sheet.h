#pragma once
// A cue sheet: the table of contents of a disc image, read with libcue. It names the files
// that hold the disc's sectors (FILE) and, for every track, its kind and where it starts in
// its file (INDEX 00, the pregap, and INDEX 01, the track itself), in frames of 1/75 s.
//
// Tracks are numbered by their order in the sheet, from 1, as libcue counts them (the numbers
// written after TRACK are not kept); discs number their tracks from 1 without gaps anyway.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace orv {

struct CueTrack {
  std::string file;  // as the sheet writes it (Shift-JIS or UTF-8 bytes, "\" or "/")
  bool audio = true;
  uint32_t sectorBytes = 2352;  // bytes a frame takes in the file
  uint32_t index01 = 0;         // frames from the start of `file`
  // The pregap's start, when the sheet gives one. It lies in `file`, before index01, unless
  // the sheet changed files between INDEX 00 and INDEX 01: then it lies in the previous
  // track's file and belongs to that file's end.
  std::optional<uint32_t> index00;
  bool index00InPreviousFile = false;
  // PREGAP: frames of silence before the track's INDEX 01 that no file holds (told only for a
  // track without INDEX 00: libcue keeps one of the two).
  uint32_t unstoredPregap = 0;
};

struct CueSheet {
  std::vector<CueTrack> tracks;
};

// A sheet libcue reads without complaint, with a file and an INDEX 01 for every track. A
// sheet libcue objects to (a syntax error, a character it does not know, keywords in lower
// case) is refused with libcue's own words and line number. Texts larger than
// kMaxCueSheetBytes, or holding zero bytes (a binary file, or UTF-16), are refused before
// libcue sees them; a UTF-8 byte order mark is skipped.
Result<CueSheet> ParseCueSheet(std::string_view text);

inline constexpr size_t kMaxCueSheetBytes = 256 * 1024;
inline constexpr uint32_t kCdFramesPerSecond = 75;
inline constexpr uint32_t kCdFrameBytes = 2352;  // a frame of CD audio: 1/75 s of 16-bit stereo

}  // namespace orv
