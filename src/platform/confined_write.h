#pragma once
// Writing files whose names a game chooses. A game downloaded from anywhere names files in its
// scripts; those names must never reach a file outside the folder the player writes into. So
// a name is resolved beneath that folder one part at a time, each folder opened relative to the
// one before without following a symbolic link, and the file is written there through a
// temporary name that is renamed over it. Nothing here follows a link inside the folder, even
// one that stays inside it: a link is refused, never written through or replaced.
//
// The folder itself (the game folder, --save-dir, the user's data folder) is the user's
// choice and may be reached through links.
#include <filesystem>
#include <span>
#include <string>

#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

// A file's place beneath the write folder: its folder, held open, and its name in there.
class ConfinedTarget {
 public:
  ConfinedTarget() = default;
  ConfinedTarget(int folder, std::string name, std::filesystem::path shown)
      : folder_(folder), name_(std::move(name)), shown_(std::move(shown)) {}
  ConfinedTarget(ConfinedTarget&& other) noexcept;
  ConfinedTarget& operator=(ConfinedTarget&& other) noexcept;
  ConfinedTarget(const ConfinedTarget&) = delete;
  ConfinedTarget& operator=(const ConfinedTarget&) = delete;
  ~ConfinedTarget();

  int folder() const { return folder_; }
  // The file's name inside folder(): an existing entry in whatever letter case it has, else
  // the name as the game gave it.
  const std::string& name() const { return name_; }
  // Where it is, for messages: the write folder joined with the names as found.
  const std::filesystem::path& shown() const { return shown_; }

 private:
  int folder_ = -1;
  std::string name_;
  std::filesystem::path shown_;
};

// The place of the file that `parts` (a name already split, none of them "." or "..") names
// beneath `root`, making the folders on the way that are missing. Each part matches an
// existing entry in any ASCII letter case, or by the UTF-8 form of a Shift-JIS name. Refused
// with the reason: a part that is a symbolic link (the file itself included) or not a folder,
// a part holding "/" or a zero byte, a root that cannot be opened.
Result<ConfinedTarget> PlaceBeneath(const std::filesystem::path& root, std::span<const std::string> parts);

// Replaces (or creates) the target's file with `data`: the bytes go to a new temporary file in
// the same folder, flushed to the disk, then renamed over the old file, so a crash, a full disk
// or a failed call leaves either the old file or the new one, never a mixture. An existing
// file keeps its permissions.
Result<void> ReplaceAt(const ConfinedTarget& target, ByteSpan data);

// PlaceBeneath, then ReplaceAt.
Result<void> WriteBeneath(const std::filesystem::path& root, std::span<const std::string> parts, ByteSpan data);

// The suffix of the temporary files ReplaceAt makes ("Data_0.dat.4242-1f.orvane-tmp").
inline constexpr std::string_view kTemporarySuffix = ".orvane-tmp";

// Removes the temporary files that a player killed in the middle of a write left beneath
// `root` (those of a process that still runs are left alone), without following links and
// only a few folders deep. Returns how many it removed.
size_t RemoveLeftoverTemporaries(const std::filesystem::path& root);

}  // namespace orv
