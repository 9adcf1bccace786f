#pragma once
// The game folder: every name that init.def or a script gives resolves inside it, with ASCII
// letter case ignored and "\" accepted as a folder separator, as Windows games expect. A name
// that would leave the folder (absolute, a drive letter, "..") is treated as a missing file.
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "platform/bytes.h"

namespace orv {

class GameFolder {
 public:
  explicit GameFolder(std::filesystem::path root);

  const std::filesystem::path& root() const { return root_; }

  // The existing file (or folder) that `name` names, or nothing.
  std::optional<std::filesystem::path> Find(std::string_view name) const;
  // Where a file named `name` is written: the existing file of that name in any letter case,
  // else the name as given inside its (existing) folder. Nothing for names outside the folder.
  std::optional<std::filesystem::path> PathForWrite(std::string_view name) const;

  // The whole file; nothing when missing, unreadable or larger than maxBytes.
  std::optional<Bytes> ReadAll(std::string_view name, size_t maxBytes = kMaxFileBytes) const;
  // `size` bytes at `offset`; fewer when the file ends first.
  std::optional<Bytes> ReadRange(std::string_view name, uint64_t offset, size_t size) const;
  std::optional<uint64_t> FileSize(std::string_view name) const;
  // Replaces the file safely: the new contents go to a temporary file that is flushed and then
  // renamed over the old one, so a crash never leaves a half-written file.
  bool WriteAll(std::string_view name, ByteSpan data) const;

  static constexpr size_t kMaxFileBytes = size_t(256) << 20;

 private:
  std::filesystem::path root_;
};

// Splits a game name into its parts; nothing when it is absolute or climbs out.
std::optional<std::vector<std::string>> SplitGameName(std::string_view name);

// Reads or writes a whole file by its real path (not through a game folder).
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& path, size_t maxBytes = GameFolder::kMaxFileBytes);
bool WriteFileAtomically(const std::filesystem::path& path, ByteSpan data);

}  // namespace orv
