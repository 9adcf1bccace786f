#include "platform/audio/cue_sheet.h"

#include <libcue.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace orv {
namespace {

// libcue's parser keeps its state in globals: one sheet at a time in the whole process.
std::mutex& LibcueLock() {
  static std::mutex lock;
  return lock;
}

// libcue tells what it dislikes only on standard error, and then often builds a disc all the
// same. Its words are caught while it parses, to refuse such a sheet with them rather than
// play a half-read disc and scatter the library's lines over the player's output.
class LibcueComplaints {
 public:
  LibcueComplaints() {
#if defined(__GLIBC__)
    stream_ = open_memstream(&buffer_, &size_);
    if (stream_) {
      saved_ = stderr;
      stderr = stream_;
    }
#endif
  }
  ~LibcueComplaints() { Finish(); }
  LibcueComplaints(const LibcueComplaints&) = delete;
  LibcueComplaints& operator=(const LibcueComplaints&) = delete;

  // What libcue wrote, with stderr put back.
  std::string Finish() {
    std::string text;
#if defined(__GLIBC__)
    if (stream_) {
      stderr = saved_;
      std::fclose(stream_);
      stream_ = nullptr;
      if (buffer_) text.assign(buffer_, size_);
      std::free(buffer_);
      buffer_ = nullptr;
    }
#endif
    return text;
  }

 private:
  std::FILE* stream_ = nullptr;
  std::FILE* saved_ = nullptr;
  char* buffer_ = nullptr;
  size_t size_ = 0;
};

struct CdDeleter {
  void operator()(Cd* cd) const { cd_delete(cd); }
};

// libcue writes "9: syntax error" or "bad character 'x'"; the first line says enough. Its line
// numbers go on counting from one sheet to the next, so they are left out.
Error Complaint(const std::string& words) {
  std::string first = words.substr(0, words.find('\n'));
  const size_t digits = first.find_first_not_of("0123456789");
  if (digits > 0 && digits != std::string::npos && first.compare(digits, 2, ": ") == 0) first.erase(0, digits + 2);
  return Error{ErrorKind::Malformed, "not a cue sheet libcue can read (" + first + ")"};
}

uint32_t SectorBytes(TrackMode mode) {
  switch (mode) {
    case MODE_MODE1:
    case MODE_MODE2_FORM1: return 2048;
    case MODE_MODE2: return 2336;
    case MODE_MODE2_FORM2: return 2324;
    case MODE_MODE2_FORM_MIX: return 2332;
    default: return 2352;
  }
}

// The frames of an MSF time: at most 99:59:74.
bool IsFrameCount(long frames) { return frames >= 0 && frames < 100L * 60 * kCdFramesPerSecond; }

// libcue names the file of a track after a FILE line that falls between its INDEX 00 and
// INDEX 01 rightly, but forgets that file again: the tracks after it, until the next FILE
// line, get the file before it. This walks the tracks as the sheet has them and gives those
// tracks back the file their INDEX 01 really lies in.
void RestoreFilesAfterSplitPregaps(std::vector<CueTrack>& tracks) {
  std::string fileAtTrackLine;  // the file libcue hands to a track that has no FILE line of its own
  std::string current;          // the file the last INDEX 01 was in
  bool splitSince = false;
  for (CueTrack& track : tracks) {
    if (track.index00InPreviousFile) {
      current = track.file;
      splitSince = true;
    } else if (splitSince && track.file == fileAtTrackLine) {
      track.file = current;
    } else {
      fileAtTrackLine = current = track.file;
      splitSince = false;
    }
  }
}

}  // namespace

Result<CueSheet> ParseCueSheet(std::string_view text) {
  if (text.size() > kMaxCueSheetBytes)
    return Error{ErrorKind::TooLarge, "a cue sheet of " + std::to_string(text.size()) + " bytes is too large"};
  if (text.find('\0') != std::string_view::npos)
    return Error{ErrorKind::Malformed, "not a cue sheet (zero bytes: a binary file, or UTF-16 text)"};
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::string terminated(text);

  std::unique_ptr<Cd, CdDeleter> cd;
  std::string complaints;
  {
    std::lock_guard lock(LibcueLock());
    LibcueComplaints catcher;
    cd.reset(cue_parse_string(terminated.c_str()));
    complaints = catcher.Finish();
  }
  if (!complaints.empty()) return Complaint(complaints);
  if (!cd) return Error{ErrorKind::Malformed, "not a cue sheet libcue can read"};

  CueSheet sheet;
  const int count = cd_get_ntrack(cd.get());
  for (int number = 1; number <= count; ++number) {
    const Track* track = cd_get_track(cd.get(), number);
    const std::string where = "track " + std::to_string(number);
    if (!track) return Error{ErrorKind::Malformed, where + " is missing"};
    const char* file = track_get_filename(track);
    if (!file || !*file) return Error{ErrorKind::Malformed, where + " names no FILE"};
    const long index01 = track_get_index(track, 1);
    if (!IsFrameCount(index01)) return Error{ErrorKind::Malformed, where + " has no INDEX 01"};
    CueTrack entry;
    entry.file = file;
    entry.audio = track_get_mode(track) == MODE_AUDIO && !track_is_set_flag(track, FLAG_DATA);
    entry.sectorBytes = SectorBytes(track_get_mode(track));
    entry.index01 = uint32_t(index01);
    if (const long index00 = track_get_index(track, 0); IsFrameCount(index00)) {
      entry.index00 = uint32_t(index00);
      // INDEX 00 after INDEX 01 in one file cannot be: it was written in the file before.
      entry.index00InPreviousFile = number > 1 && index00 > index01;
    }
    // libcue keeps PREGAP where it also keeps the INDEX 00 stretch's length, which wins when
    // a track has both: only a track without INDEX 00 has its PREGAP to be told.
    if (const long pregap = track_get_zero_pre(track); !entry.index00 && pregap > 0 && IsFrameCount(pregap))
      entry.unstoredPregap = uint32_t(pregap);
    sheet.tracks.push_back(std::move(entry));
  }
  if (sheet.tracks.empty()) return Error{ErrorKind::Malformed, "the cue sheet lists no tracks"};
  RestoreFilesAfterSplitPregaps(sheet.tracks);
  return sheet;
}

}  // namespace orv
