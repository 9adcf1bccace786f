#include "sound/cd_tracks.h"

#include <algorithm>
#include <array>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/bytes.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// In order of preference when one track has files of several kinds.
constexpr std::array<std::string_view, 4> kExtensions = {".OGG", ".FLAC", ".MP3", ".WAV"};

int ExtensionRank(const std::string& upperName) {
  for (size_t i = 0; i < kExtensions.size(); ++i)
    if (upperName.ends_with(kExtensions[i])) return int(i);
  return -1;
}

// The entries of one folder that may hold tracks: regular files inside the game folder whose
// names are track names, sorted, so that the choice between "track1.ogg" and "track01.ogg"
// does not depend on the order the file system lists them in. The name is looked at first:
// following every file's links to see where it lies would cost a game with hundreds of
// pictures its start-up. An entry that cannot be looked at (a broken link) is passed over,
// not taken for the end of the folder. With `cd` and `cdda`, the folders of those names (in
// any letter case) are collected too.
std::vector<fs::path> TrackFiles(const GameFolder& folder, const fs::path& dir, std::vector<fs::path>* cd = nullptr,
                                 std::vector<fs::path>* cdda = nullptr) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code entryError;
    if (cd != nullptr) {
      const std::string upper = AsciiUpper(name);
      if ((upper == "CD" || upper == "CDDA") && it->is_directory(entryError)) {
        (upper == "CD" ? cd : cdda)->push_back(it->path());
        continue;
      }
    }
    if (CdTrackNumber(name) && it->is_regular_file(entryError) && folder.Holds(it->path())) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::vector<fs::path> CdFolders(const fs::path& root) {
  std::vector<fs::path> folders{root};
  for (const std::string_view name : {"CD", "CDDA"}) {
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_directory(ec) && AsciiUpper(it->path().filename().string()) == name) folders.push_back(it->path());
  }
  return folders;
}

std::optional<int> CdTrackNumber(const std::string& fileName) {
  const std::string upper = AsciiUpper(fileName);
  const int rank = ExtensionRank(upper);
  if (rank < 0 || !upper.starts_with("TRACK")) return std::nullopt;
  std::string_view digits(upper);
  digits = digits.substr(5, digits.size() - 5 - kExtensions[size_t(rank)].size());
  if (digits.starts_with('_')) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 3) return std::nullopt;
  int number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number < 1 || number > CdTrackSet::kMaxTrack) return std::nullopt;
  return number;
}

CdTrackSet CdTrackSet::Scan(const GameFolder& folder) {
  // The game folder, then its "cd" and then its "cdda" folders, found in the same walk.
  std::vector<fs::path> cd, cdda;
  std::vector<std::pair<fs::path, std::vector<fs::path>>> folders;
  folders.emplace_back(folder.root(), TrackFiles(folder, folder.root(), &cd, &cdda));
  for (const std::vector<fs::path>* found : {&cd, &cdda})
    for (const fs::path& dir : *found) folders.emplace_back(dir, TrackFiles(folder, dir));

  CdTrackSet set;
  std::map<int, int> ranks;
  for (const auto& [dir, files] : folders) {
    for (const fs::path& file : files) {
      const std::string name = file.filename().string();
      const auto number = CdTrackNumber(name);
      if (!number) continue;
      const int rank = ExtensionRank(AsciiUpper(name));
      // A track found in an earlier folder stays; within a folder the preferred kind wins.
      const auto known = set.files_.find(*number);
      if (known != set.files_.end() && (known->second.parent_path() != dir || ranks[*number] <= rank)) continue;
      set.files_[*number] = file;
      ranks[*number] = rank;
    }
  }
  return set;
}

std::optional<fs::path> FindCueSheet(const GameFolder& folder) {
  for (const fs::path& dir : CdFolders(folder.root())) {
    std::vector<fs::path> sheets;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file(ec) && AsciiUpper(it->path().extension().string()) == ".CUE" && folder.Holds(it->path()))
        sheets.push_back(it->path());
    if (!sheets.empty()) return *std::min_element(sheets.begin(), sheets.end());
  }
  return std::nullopt;
}

std::optional<CdTrack> CdTrackSet::Track(int number) const {
  if (auto file = FileFor(number)) return CdTrack(std::move(*file));
  return std::nullopt;
}

std::optional<fs::path> CdTrackSet::FileFor(int track) const {
  const auto it = files_.find(track);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

}  // namespace orv
