#include "sound/cd_tracks.h"

#include <algorithm>
#include <array>
#include <string>
#include <system_error>
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

// The game folder, then its "cd" and then its "cdda" folders, in any letter case.
std::vector<fs::path> TrackFolders(const fs::path& root) {
  std::vector<fs::path> cd, cdda;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) continue;
    const std::string name = AsciiUpper(it->path().filename().string());
    if (name == "CD") cd.push_back(it->path());
    if (name == "CDDA") cdda.push_back(it->path());
  }
  std::vector<fs::path> folders{root};
  folders.insert(folders.end(), cd.begin(), cd.end());
  folders.insert(folders.end(), cdda.begin(), cdda.end());
  return folders;
}

}  // namespace

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
  CdTrackSet set;
  std::map<int, int> ranks;
  for (const fs::path& dir : TrackFolders(folder.root())) {
    std::vector<fs::path> names;
    std::error_code ec;
    // The name first: following every file's links to see where it lies costs a game with
    // hundreds of pictures its start-up. An entry that cannot be looked at (a broken link) is
    // passed over, not taken for the end of the folder.
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code entryError;
      if (CdTrackNumber(it->path().filename().string()) && it->is_regular_file(entryError) &&
          folder.Holds(it->path()))
        names.push_back(it->path());
    }
    // Sorted, so that the choice between "track1.ogg" and "track01.ogg" does not depend on
    // the order the file system lists them in.
    std::sort(names.begin(), names.end());
    for (const fs::path& file : names) {
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

std::optional<fs::path> CdTrackSet::FileFor(int track) const {
  const auto it = files_.find(track);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

}  // namespace orv
