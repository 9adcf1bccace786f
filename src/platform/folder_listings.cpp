#include "platform/folder_listings.h"

#include <chrono>
#include <system_error>

#include "platform/bytes.h"

namespace orv {
namespace fs = std::filesystem;

namespace {
// Longer than any file system's timestamp tick.
constexpr auto kSettleTime = std::chrono::seconds(2);
}  // namespace

std::optional<fs::path> FolderListings::Find(const fs::path& dir, const std::string& name,
                                             const std::string& otherName) {
  const Names wanted{&name, &otherName};
  return std::move(FindEach(dir, std::span(&wanted, 1)).front());
}

std::vector<std::optional<fs::path>> FolderListings::FindEach(const fs::path& dir, std::span<const Names> wanted) {
  std::vector<std::optional<fs::path>> found(wanted.size());
  std::error_code ec;
  const fs::file_time_type modified = fs::last_write_time(dir, ec);
  if (ec) return found;
  std::lock_guard lock(mutex_);
  Listing& listing = listings_[dir.native()];
  // A folder that changed lately, but not since it was listed, is trusted for a while.
  bool current = listing.modified == modified &&
                 (listing.settled || std::chrono::steady_clock::now() - listing.listedAt < kRelistInterval);
  for (size_t i = 0; i < wanted.size(); ++i) {
    const std::string& name = *wanted[i].name;
    if (current) {
      if (listing.names.contains(name)) {
        found[i] = dir / name;
        continue;
      }
    } else {
      // The name as given is looked up by itself before the folder is walked again.
      fs::path exact = dir / name;
      std::error_code missing;
      if (fs::exists(fs::symlink_status(exact, missing))) {
        found[i] = std::move(exact);
        continue;
      }
      ++walks_;
      if (!Relist(dir, modified, listing)) {
        listings_.erase(dir.native());
        return found;
      }
      // Fresh for the names that follow, settled or not.
      current = true;
    }
    for (const std::string* other : {&name, wanted[i].otherName}) {
      auto entry = listing.byUpperName.find(AsciiUpper(*other));
      if (entry != listing.byUpperName.end()) {
        found[i] = entry->second;
        break;
      }
    }
  }
  return found;
}

void FolderListings::NoteWritten(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  const fs::file_time_type modified = fs::last_write_time(dir, ec);
  if (ec) return;
  std::lock_guard lock(mutex_);
  auto it = listings_.find(dir.native());
  // The writer may spell the folder otherwise (its real path): the same folder all the same.
  for (auto other = listings_.begin(); it == listings_.end() && other != listings_.end(); ++other)
    if (fs::equivalent(other->first, dir, ec)) it = other;
  if (it == listings_.end()) return;
  Listing& listing = it->second;
  const std::string upper = AsciiUpper(name);
  if (!listing.byUpperName.contains(upper)) {
    listing.byUpperName.emplace(upper, dir / name);
    listing.names.insert(name);
  }
  // Only the folder's time moved, by this write: the listing is still whole, and as recent as
  // before. A listing already stale stays so, and is taken afresh at its next look-up.
  const bool wasCurrent = listing.settled || std::chrono::steady_clock::now() - listing.listedAt < kRelistInterval;
  listing.modified = modified;
  listing.settled = false;
  if (wasCurrent) listing.listedAt = std::chrono::steady_clock::now();
}

bool FolderListings::Relist(const fs::path& dir, fs::file_time_type modified, Listing& listing) {
  listing.names.clear();
  listing.byUpperName.clear();
  listing.modified = modified;
  // Taken before the walk: a change during it must not make the listing look settled.
  listing.settled = fs::file_time_type::clock::now() - modified > kSettleTime;
  listing.listedAt = std::chrono::steady_clock::now();
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entryName = it->path().filename().string();
    listing.byUpperName.emplace(AsciiUpper(entryName), it->path());
    listing.names.insert(std::move(entryName));
  }
  return !ec;
}

}  // namespace orv
