#pragma once
// The entries of the game's folders by their names, as they are and in upper case, so that
// a name given in another letter case is found with one probe instead of a walk through the
// folder, and a name the folder lacks costs no look-up of its own. A folder is listed again
// when its modification time changes; a listing taken too soon after that time (file times
// tick coarsely, so a later change could still carry the same time) is not trusted and the
// folder is listed afresh until it has settled, for every name that is not there as given,
// but at most once in kRelistInterval: a folder that changes all the time is not walked for
// every look-up. The player's own writes update the listing instead (NoteWritten), so a save
// into the game folder costs the look-ups after it nothing.
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orv {

class FolderListings {
 public:
  // The entry of `dir` named exactly `name`, else the one whose name equals one of the names
  // with ASCII letter case ignored (the first name tried first), or nothing.
  std::optional<std::filesystem::path> Find(const std::filesystem::path& dir, const std::string& name,
                                            const std::string& otherName);
  // Find for several names of one folder, which is checked and listed at most once for all.
  struct Names {
    const std::string* name;
    const std::string* otherName;
  };
  std::vector<std::optional<std::filesystem::path>> FindEach(const std::filesystem::path& dir,
                                                             std::span<const Names> wanted);
  // The player itself has just made or replaced the entry `name` of `dir` (and nothing else
  // there): a listing of it takes the entry in and stays as fresh as it was.
  void NoteWritten(const std::filesystem::path& dir, const std::string& name);

  static constexpr std::chrono::milliseconds kRelistInterval{300};
  // Folder walks so far (for tests and measurements).
  uint64_t WalkCount() {
    std::lock_guard lock(mutex_);
    return walks_;
  }

 private:
  struct Listing {
    std::filesystem::file_time_type modified;
    bool settled = false;
    std::chrono::steady_clock::time_point listedAt;  // when it was last known to be complete
    std::unordered_set<std::string> names;
    std::unordered_map<std::string, std::filesystem::path> byUpperName;
  };

  // Lists the folder afresh into `listing`; false when it cannot be read.
  static bool Relist(const std::filesystem::path& dir, std::filesystem::file_time_type modified, Listing& listing);

  std::mutex mutex_;
  std::unordered_map<std::string, Listing> listings_;  // by the folder's path
  uint64_t walks_ = 0;
};

}  // namespace orv
