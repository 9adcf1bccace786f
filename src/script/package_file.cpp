#include "script/package_file.h"

#include <algorithm>

#include "platform/game_folder.h"

namespace orv {

int FindPackageEntry(const std::vector<PackageEntry>& directory, std::string_view name) {
  const std::string wanted = AsciiUpper(name);
  for (size_t i = 0; i < directory.size(); ++i)
    if (AsciiUpper(directory[i].memberName) == wanted) return int(i);
  return -1;
}

namespace {

std::vector<PackageEntry> ParseDirectory(ByteSpan bytes, uint32_t count) {
  std::vector<PackageEntry> directory;
  directory.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* p = bytes.data() + 4 + size_t(i) * kPackageEntryBytes;
    PackageEntry entry;
    entry.memberSize = GetU32LE(p);
    entry.memberOffset = GetU32LE(p + 4);
    entry.reserved = uint16_t(p[8] | p[9] << 8);
    entry.memberName = CStringField(p + 10, kPackageNameBytes);
    directory.push_back(std::move(entry));
  }
  return directory;
}

// First match wins, as in FindPackageEntry: a later entry of the same name never replaces it.
std::unordered_map<std::string, int> IndexDirectory(const std::vector<PackageEntry>& directory) {
  std::unordered_map<std::string, int> index;
  index.reserve(directory.size());
  for (size_t i = 0; i < directory.size(); ++i) index.emplace(AsciiUpper(directory[i].memberName), int(i));
  return index;
}

// The count must fit the file: a count of 0xFFFFFFFF in a small file is refused before any
// allocation.
Result<uint32_t> CheckedCount(ByteSpan head, uint64_t fileSize) {
  auto count = ReadU32LE(head, 0);
  if (!count) return Error{ErrorKind::Malformed, "package shorter than its entry count"};
  if ((fileSize - 4) / kPackageEntryBytes < *count)
    return Error{ErrorKind::Malformed,
                 "package directory of " + std::to_string(*count) + " entries does not fit the file"};
  return *count;
}

}  // namespace

Result<PackageFile> PackageFile::Parse(ByteSpan bytes) {
  auto count = CheckedCount(bytes, bytes.size());
  if (!count) return count.error();
  PackageFile package;
  package.memory_ = bytes;
  package.fileSize_ = bytes.size();
  package.directory_ = ParseDirectory(bytes, *count);
  package.index_ = IndexDirectory(package.directory_);
  return package;
}

Result<PackageFile> PackageFile::Open(const GameFolder& folder, std::string_view name) {
  auto size = folder.FileSize(name);
  if (!size) return Error{ErrorKind::NotFound, "no package " + std::string(name)};
  if (*size < 4) return Error{ErrorKind::Malformed, std::string(name) + ": package shorter than its entry count"};
  auto head = folder.ReadRange(name, 0, 4);
  if (!head) return Error{ErrorKind::Unreadable, "cannot read package " + std::string(name)};
  auto count = CheckedCount(*head, *size);
  if (!count) return Error{count.error().kind, std::string(name) + ": " + count.error().message};
  const size_t directorySize = 4 + size_t(*count) * kPackageEntryBytes;
  auto directoryBytes = folder.ReadRange(name, 0, directorySize);
  if (!directoryBytes || directoryBytes->size() != directorySize)
    return Error{ErrorKind::Unreadable, "cannot read the directory of package " + std::string(name)};
  PackageFile package;
  package.folder_ = &folder;
  package.fileName_ = std::string(name);
  package.fileSize_ = *size;
  package.directory_ = ParseDirectory(*directoryBytes, *count);
  package.index_ = IndexDirectory(package.directory_);
  return package;
}

Result<Bytes> PackageFile::ReadMember(const PackageEntry& entry) const {
  if (uint64_t(entry.memberOffset) + entry.memberSize > fileSize_)
    return Error{ErrorKind::Malformed, "member " + entry.memberName + " lies past the end of the package"};
  if (folder_ == nullptr) {
    auto first = memory_.begin() + entry.memberOffset;
    return Bytes(first, first + entry.memberSize);
  }
  auto bytes = folder_->ReadRange(fileName_, entry.memberOffset, entry.memberSize);
  if (!bytes || bytes->size() != entry.memberSize)
    return Error{ErrorKind::Unreadable, "cannot read member " + entry.memberName + " of " + fileName_};
  return std::move(*bytes);
}

int PackageFile::Find(std::string_view name) const {
  const auto found = index_.find(AsciiUpper(name));
  return found == index_.end() ? -1 : found->second;
}

Result<Bytes> PackageFile::ReadMember(std::string_view name) const {
  const int index = Find(name);
  if (index < 0) return Error{ErrorKind::NotFound, "no member " + std::string(name)};
  return ReadMember(directory_[size_t(index)]);
}

const Result<PackageFile>& CachedPackage::Get(const std::optional<GameFolder::FileStamp>& stamp) {
  if (read_ && stamp == stamp_) return package_;
  // The stamp is the one taken before reading, so that a change made during the read shows
  // as a change next time.
  package_ = stamp ? PackageFile::Open(folder_, name_) : Error{ErrorKind::NotFound, "no package " + name_};
  stamp_ = stamp;
  read_ = true;
  return package_;
}

Bytes BuildPackage(const std::vector<PackageMember>& members) {
  Bytes out;
  AppendU32LE(out, uint32_t(members.size()));
  uint32_t offset = uint32_t(4 + members.size() * kPackageEntryBytes);
  for (const auto& member : members) {
    AppendU32LE(out, uint32_t(member.data.size()));
    AppendU32LE(out, offset);
    out.push_back(0);
    out.push_back(0);
    uint8_t name[kPackageNameBytes] = {};
    std::copy_n(member.name.begin(), std::min(member.name.size(), kPackageNameBytes - 1), name);
    out.insert(out.end(), name, name + kPackageNameBytes);
    offset += uint32_t(member.data.size());
  }
  for (const auto& member : members) out.insert(out.end(), member.data.begin(), member.data.end());
  return out;
}

void InvertBytes(Bytes& bytes) {
  for (auto& b : bytes) b = uint8_t(~b);
}

}  // namespace orv
