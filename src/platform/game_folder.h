#pragma once
// The game folder: every name that init.def or a script gives resolves inside it, with ASCII
// letter case ignored and "\" accepted as a folder separator, as Windows games expect. A name
// that would leave the folder (absolute, a drive letter, "..", a link to elsewhere) is treated
// as a missing file. Nothing here throws: file-system errors read as missing files.
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bytes.h"
#include "platform/folder_listings.h"
#include "platform/os.h"

namespace orv {

class GameFolder {
 public:
  explicit GameFolder(std::filesystem::path root);

  const std::filesystem::path& root() const { return root_; }

  // The existing file (or folder) that `name` names, as its real path, or nothing. Symbolic
  // links are followed only as far as they stay inside the game folder: a name whose real
  // path lies outside it, or that cannot be resolved at all (a loop), is a missing file.
  std::optional<std::filesystem::path> Find(std::string_view name) const;
  // Find for each of several names; the folder is checked once for all names of one part.
  std::vector<std::optional<std::filesystem::path>> FindEach(std::span<const std::string> names) const;
  // Like Find, for regular files only (not folders, devices or pipes).
  std::optional<std::filesystem::path> FindFile(std::string_view name) const;
  bool IsRegularFile(std::string_view name) const { return FindFile(name).has_value(); }
  // Whether a path met some other way (say, listing a folder) really lies inside the game
  // folder, once every link on its way is followed.
  bool Holds(const std::filesystem::path& path) const;

  // The whole file; nothing when missing, unreadable or larger than maxBytes.
  std::optional<Bytes> ReadAll(std::string_view name, size_t maxBytes = kMaxFileBytes) const;
  // `size` bytes at `offset`; fewer when the file ends first.
  std::optional<Bytes> ReadRange(std::string_view name, uint64_t offset, size_t size) const;
  std::optional<uint64_t> FileSize(std::string_view name) const;
  // What a file looks like now (its real path, size and modification time), to tell whether
  // something read from it earlier is still what it holds; nothing when it is missing.
  struct FileStamp {
    std::filesystem::path path;
    uint64_t size = 0;
    std::filesystem::file_time_type modified{};
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
  };
  std::optional<FileStamp> Stamp(std::string_view name) const;
  // The player has just written `file` (a path inside this folder, or not): look-ups here
  // take it in without listing its folder again.
  void NoteWritten(const std::filesystem::path& file) const;

  static constexpr size_t kMaxFileBytes = size_t(256) << 20;

 private:
  // The folder's own real path; empty while it does not exist.
  std::filesystem::path RealRoot() const;
  std::optional<std::filesystem::path> Inside(const std::filesystem::path& path) const;
  std::optional<std::filesystem::path> FindEntry(const std::filesystem::path& dir, const std::string& part) const;

  // A name's entries found one after another from the root, and the real path they make.
  class WalkFromRoot {
   public:
    explicit WalkFromRoot(const GameFolder& folder);
    void Step(std::filesystem::path entry);
    std::optional<std::filesystem::path> End() const;
    std::filesystem::path current;

   private:
    const GameFolder& folder_;
    std::filesystem::path real_;
    bool throughLink_;
  };

  std::filesystem::path root_;
  std::filesystem::path realRoot_;
  // Shared by copies of the folder, which name the same files.
  std::shared_ptr<FolderListings> listings_ = std::make_shared<FolderListings>();
};

// Splits a game name (which ends at a zero byte) into its parts; nothing when it is absolute
// or climbs out.
std::optional<std::vector<std::string>> SplitGameName(std::string_view name);

// Reads a whole file by its real path (not through a game folder); WriteFileAtomically
// (platform/os.h) writes one.
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& path, size_t maxBytes = GameFolder::kMaxFileBytes);
// `size` bytes at `offset` of a regular file; fewer when it ends first, nothing when it cannot be read.
std::optional<Bytes> ReadFileRange(const std::filesystem::path& path, uint64_t offset, size_t size);

}  // namespace orv
