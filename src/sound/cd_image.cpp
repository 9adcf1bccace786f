#include "sound/cd_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/game_folder.h"

namespace orv {
namespace {

using Kind = CdImageFile::Kind;

// Enough of a file's start to find a WAVE file's data chunk behind its other chunks.
constexpr size_t kHeadBytes = 64 * 1024;

// Formats SDL_mixer decodes that carry their own length: such a file is one track.
constexpr std::array<std::string_view, 5> kDecodedExtensions = {".OGG", ".OGA", ".OPUS", ".FLAC", ".MP3"};

// Where a track lies in its file's raw audio: where it (or its pregap) starts, and its INDEX 01.
struct Place {
  uint64_t start = 0;
  uint64_t index01 = 0;
};

// The run of the sheet's files each track belongs to.
std::vector<size_t> FileRuns(const CueSheet& sheet) {
  std::vector<size_t> runs;
  size_t run = 0;
  for (size_t k = 0; k < sheet.tracks.size(); ++k) {
    if (k > 0 && sheet.tracks[k].file != sheet.tracks[k - 1].file) ++run;
    runs.push_back(run);
  }
  return runs;
}

// Byte positions of the tracks in their files. Frames become bytes at the sector size of the
// track they belong to, so a data track of 2048-byte sectors in front of the audio is skipped
// rightly. A track whose times run backwards makes the rest of its file unplaceable.
std::vector<std::optional<Place>> PlaceTracks(const CueSheet& sheet, const std::vector<size_t>& runs,
                                              std::vector<std::string>& problems) {
  std::vector<std::optional<Place>> places(sheet.tracks.size());
  uint64_t position = 0, previousFrame = 0, previousIndex01 = 0, previousSector = 0;
  bool broken = false;
  for (size_t k = 0; k < sheet.tracks.size(); ++k) {
    const CueTrack& track = sheet.tracks[k];
    if (k == 0 || runs[k] != runs[k - 1]) {
      position = previousFrame = previousIndex01 = 0;
      previousSector = track.sectorBytes;
      broken = false;
    }
    const uint64_t start = track.index00 && !track.index00InPreviousFile ? *track.index00 : track.index01;
    if (broken || start < previousIndex01 || track.index01 < start) {
      if (!broken) problems.push_back("the INDEX times of track " + std::to_string(k + 1) + " run backwards");
      broken = true;
      continue;
    }
    position += (start - previousFrame) * previousSector;
    places[k] = Place{position, position + (track.index01 - start) * track.sectorBytes};
    previousFrame = start;
    previousSector = track.sectorBytes;
    previousIndex01 = track.index01;
  }
  return places;
}

RawAudioSpan Span(const CdImageFile& file, uint64_t begin, uint64_t end) {
  // Whole sample frames, so that a following span starts on the left channel.
  return RawAudioSpan{file.path, file.dataOffset + begin, end > begin ? (end - begin) / 4 * 4 : 0};
}

RawAudioSpan Silence(uint64_t frames) { return RawAudioSpan{{}, 0, frames * kCdFrameBytes}; }

// Frames of a data track's pregap that lie in its own file: sectors a drive passes over in
// silence before the data, and which may hold anything but sound.
uint64_t DataPregapFrames(const CueTrack& track) {
  if (!track.index00 || track.index00InPreviousFile || *track.index00 > track.index01) return 0;
  return track.index01 - *track.index00;
}

// Spans that continue one another as one.
std::vector<RawAudioSpan> Joined(std::vector<RawAudioSpan> spans) {
  std::erase_if(spans, [](const RawAudioSpan& span) { return span.length == 0; });
  std::vector<RawAudioSpan> joined;
  for (RawAudioSpan& span : spans) {
    if (!joined.empty() && joined.back().file == span.file &&
        (span.Silent() || joined.back().offset + joined.back().length == span.offset))
      joined.back().length += span.length;
    else
      joined.push_back(std::move(span));
  }
  return joined;
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

CdImageFile FindImageFile(const GameFolder& folder, const std::string& name) {
  std::string found = name;
  auto path = folder.FindFile(found);
  if (const size_t cut = name.find_last_of("/\\"); !path && cut != std::string::npos) {
    found = name.substr(cut + 1);
    path = folder.FindFile(found);
  }
  if (!path) return {};
  const uint64_t size = folder.FileSize(found).value_or(0);
  const std::string upper = AsciiUpper(found);
  for (const std::string_view extension : kDecodedExtensions)
    if (upper.ends_with(extension)) return {Kind::Decoded, *path, 0, size};
  const auto head = folder.ReadRange(found, 0, kHeadBytes);
  if (head && head->size() >= 4 && std::memcmp(head->data(), "RIFF", 4) == 0) {
    if (const auto data = CdFormatWaveData(*head, size)) return {Kind::Raw, *path, data->offset, data->length};
    return {Kind::Decoded, *path, 0, size};
  }
  return {Kind::Raw, *path, 0, size};
}

}  // namespace

std::vector<std::string> CdImageFileNames(const CueSheet& sheet) {
  std::vector<std::string> names;
  const std::vector<size_t> runs = FileRuns(sheet);
  for (size_t k = 0; k < sheet.tracks.size(); ++k)
    if (runs[k] == names.size()) names.push_back(sheet.tracks[k].file);
  return names;
}

std::optional<RawAudioPlace> CdFormatWaveData(ByteSpan head, uint64_t fileSize) {
  auto idIs = [&](uint64_t at, const char* id) { return at + 4 <= head.size() && std::memcmp(&head[at], id, 4) == 0; };
  if (!idIs(0, "RIFF") || !idIs(8, "WAVE")) return std::nullopt;
  bool cdFormat = false;
  for (uint64_t at = 12; at + 8 <= head.size();) {
    const uint64_t size = *ReadU32LE(head, size_t(at) + 4);
    const uint64_t body = at + 8;
    if (idIs(at, "fmt ") && size >= 16 && body + 16 <= head.size()) {
      uint16_t tag = *ReadU16LE(head, size_t(body));
      // The extensible form names the real encoding at the start of its sub-format.
      if (tag == 0xFFFE) tag = size >= 26 ? ReadU16LE(head, size_t(body) + 24).value_or(0) : 0;
      cdFormat = tag == 1 && *ReadU16LE(head, size_t(body) + 2) == 2 && *ReadU32LE(head, size_t(body) + 4) == 44100 &&
                 *ReadU16LE(head, size_t(body) + 14) == 16;
    }
    if (idIs(at, "data")) {
      if (!cdFormat) return std::nullopt;
      return RawAudioPlace{body, std::min(size, fileSize > body ? fileSize - body : 0)};
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

CdImage CdImage::LayOut(const CueSheet& sheet, const std::vector<CdImageFile>& files) {
  CdImage image;
  const auto& tracks = sheet.tracks;
  const std::vector<size_t> runs = FileRuns(sheet);
  const std::vector<std::optional<Place>> places = PlaceTracks(sheet, runs, image.problems_);
  const std::vector<std::string> names = CdImageFileNames(sheet);
  image.tracks_.resize(tracks.size());
  if (files.size() != names.size()) return image;

  // A missing file of data tracks takes nothing from the music.
  for (size_t run = 0; run < files.size(); ++run) {
    bool holdsAudio = false;
    for (size_t k = 0; k < tracks.size(); ++k) holdsAudio = holdsAudio || (runs[k] == run && tracks[k].audio);
    if (files[run].kind == Kind::Missing && holdsAudio) image.problems_.push_back(Quoted(names[run]) + " not found");
  }

  for (size_t k = 0; k < tracks.size(); ++k) {
    const size_t run = runs[k];
    const CdImageFile& file = files[run];
    const std::string number = std::to_string(k + 1);
    const bool nextInRun = k + 1 < tracks.size() && runs[k + 1] == run;
    if (!tracks[k].audio || file.kind == Kind::Missing || !places[k]) continue;

    if (file.kind == Kind::Decoded) {
      const bool alone = (k == 0 || runs[k - 1] != run) && !nextInRun;
      if (alone)
        image.tracks_[k] = CdTrack(file.path);
      else
        image.problems_.push_back("track " + number + " shares " + Quoted(names[run]) +
                                  " with other tracks, which only raw CD audio can");
      continue;
    }

    const uint64_t begin = places[k]->index01;
    if (begin >= file.dataBytes) {
      image.problems_.push_back("track " + number + " starts after the end of " + Quoted(names[run]));
      continue;
    }
    // A drive plays on to the next track's INDEX 01: through the next track's PREGAP (silence
    // no file holds), then its pregap as stored, or as silence when it is a data track's.
    const bool nextPlaced = k + 1 < tracks.size() && places[k + 1];
    const uint64_t ownEnd = nextInRun && nextPlaced ? places[k + 1]->start : file.dataBytes;
    std::vector<RawAudioSpan> spans{Span(file, begin, std::min(ownEnd, file.dataBytes))};
    if (nextPlaced) {
      const CueTrack& next = tracks[k + 1];
      spans.push_back(Silence(next.unstoredPregap));
      if (!next.audio) {
        spans.push_back(Silence(DataPregapFrames(next)));
      } else if (nextInRun) {
        spans.push_back(Span(file, places[k + 1]->start, std::min(places[k + 1]->index01, file.dataBytes)));
      } else if (files[runs[k + 1]].kind == Kind::Raw) {
        // The next track's INDEX 01 in the next file: what comes before it there ends this track.
        const CdImageFile& nextFile = files[runs[k + 1]];
        spans.push_back(Span(nextFile, 0, std::min(places[k + 1]->index01, nextFile.dataBytes)));
      }
    }
    spans = Joined(std::move(spans));
    if (!spans.empty()) image.tracks_[k] = CdTrack(std::move(spans));
  }
  return image;
}

Result<CdImage> CdImage::Open(const GameFolder& cueFolder, std::string_view cueName) {
  const auto size = cueFolder.FileSize(cueName);
  if (!size) return Error{ErrorKind::NotFound, "not found"};
  if (*size > kMaxCueSheetBytes)
    return Error{ErrorKind::TooLarge, "a cue sheet of " + std::to_string(*size) + " bytes is too large"};
  const auto bytes = cueFolder.ReadAll(cueName, kMaxCueSheetBytes);
  if (!bytes) return Error{ErrorKind::Unreadable, "cannot be read"};
  Result<CueSheet> sheet = ParseCueSheet(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!sheet) return sheet.error();

  std::vector<CdImageFile> files;
  for (const std::string& name : CdImageFileNames(*sheet)) files.push_back(FindImageFile(cueFolder, name));
  CdImage image = LayOut(*sheet, files);
  const bool anyPlays = std::any_of(image.tracks_.begin(), image.tracks_.end(), [](const auto& t) { return t; });
  if (!anyPlays) {
    const std::string why = image.Problems();
    return Error{ErrorKind::NotFound, why.empty() ? "it holds no audio track" : why};
  }
  return image;
}

std::optional<CdTrack> CdImage::Track(int number) const {
  if (number < 1 || number > TrackCount()) return std::nullopt;
  return tracks_[size_t(number - 1)];
}

std::string CdImage::Problems() const {
  std::string line;
  for (const std::string& problem : problems_) line += (line.empty() ? "" : "; ") + problem;
  return line;
}

}  // namespace orv
