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
  std::error_code ec;
  const fs::file_time_type modified = fs::last_write_time(dir, ec);
  if (ec) return std::nullopt;
  std::lock_guard lock(mutex_);
  Listing& listing = listings_[dir.native()];
  if (listing.settled && listing.modified == modified) {
    if (listing.names.contains(name)) return dir / name;
  } else {
    // The name as given is looked up by itself before the folder is walked again.
    fs::path exact = dir / name;
    std::error_code missing;
    if (fs::exists(fs::symlink_status(exact, missing))) return exact;
    listing.names.clear();
    listing.byUpperName.clear();
    listing.modified = modified;
    // Taken before the walk: a change during it must not make the listing look settled.
    listing.settled = fs::file_time_type::clock::now() - modified > kSettleTime;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::string entryName = it->path().filename().string();
      listing.byUpperName.emplace(AsciiUpper(entryName), it->path());
      listing.names.insert(std::move(entryName));
    }
    if (ec) {
      listings_.erase(dir.native());
      return std::nullopt;
    }
  }
  for (const std::string* wanted : {&name, &otherName}) {
    auto found = listing.byUpperName.find(AsciiUpper(*wanted));
    if (found != listing.byUpperName.end()) return found->second;
  }
  return std::nullopt;
}

}  // namespace orv
