#pragma once
// The kit's container for scenarios, pictures, waves and music: a 32-bit entry count, then
// 52-byte entries (size, offset, two reserved bytes, a 42-byte zero-terminated name), then the
// members anywhere after. Every read is bounds-checked: an entry pointing past the end of the
// file is treated as missing.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/bytes.h"
#include "platform/game_folder.h"
#include "platform/result.h"

namespace orv {

struct PackageEntry {
  uint32_t memberSize = 0;
  uint32_t memberOffset = 0;
  uint16_t reserved = 0;
  std::string memberName;  // up to 41 bytes
};

inline constexpr size_t kPackageEntryBytes = 52;
inline constexpr size_t kPackageNameBytes = 42;

// Index of the first entry whose name equals `name` with ASCII letters upper-cased, or -1.
int FindPackageEntry(const std::vector<PackageEntry>& directory, std::string_view name);

class PackageFile {
 public:
  // Reads the directory of a package file in the game folder. An error when the file is
  // missing (NotFound) or too short for its count (Malformed); entries whose data lie past
  // the end are kept in the directory (lookup order must not change) but their members
  // cannot be read.
  static Result<PackageFile> Open(const GameFolder& folder, std::string_view name);
  // The same over bytes already in memory (tests, fuzzing, tools).
  static Result<PackageFile> Parse(ByteSpan bytes);

  const std::vector<PackageEntry>& directory() const { return directory_; }
  // FindPackageEntry over the directory, without walking it.
  int Find(std::string_view name) const;
  // The member's bytes; an error when the entry points outside the file (Malformed), the
  // file cannot be read (Unreadable), or no entry has the name (NotFound).
  Result<Bytes> ReadMember(const PackageEntry& entry) const;
  Result<Bytes> ReadMember(std::string_view name) const;

 private:
  const GameFolder* folder_ = nullptr;
  std::string fileName_;
  uint64_t fileSize_ = 0;
  ByteSpan memory_;
  std::vector<PackageEntry> directory_;
  std::unordered_map<std::string, int> index_;  // upper-cased name -> its first entry
};

// A package file read once and kept while it stays the same file. A game asks its picture
// package for one member after another, and a directory of thousands of entries would
// otherwise be read, parsed and searched for each; whether the file is still the one read is
// told by its stamp (real path, size, modification time), a single look at the file system.
class CachedPackage {
 public:
  CachedPackage(const GameFolder& folder, std::string name) : folder_(folder), name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  // The package as the file is now: the kept one while the stamp is unchanged, else the file
  // read again. A package that cannot be opened gives Open's error, kept the same way.
  const Result<PackageFile>& Get() { return Get(folder_.Stamp(name_)); }
  // The same with the stamp the caller has just taken, so that one look serves both.
  const Result<PackageFile>& Get(const std::optional<GameFolder::FileStamp>& stamp);

 private:
  const GameFolder& folder_;
  std::string name_;
  bool read_ = false;
  std::optional<GameFolder::FileStamp> stamp_;  // of the file when it was read; none when missing
  Result<PackageFile> package_ = PackageFile();
};

// Serialises a package (the tools write them): members laid out after the directory in order.
struct PackageMember {
  std::string name;
  Bytes data;
};
Bytes BuildPackage(const std::vector<PackageMember>& members);

// The kit's scenario scrambling: every byte replaced by its complement.
void InvertBytes(Bytes& bytes);

}  // namespace orv
