#include "platform/game_folder.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "platform/sjis.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

fs::path RealPathOf(const fs::path& path) {
  std::error_code ec;
  fs::path real = fs::canonical(path, ec);
  if (ec) return {};
  return real;
}

}  // namespace

GameFolder::GameFolder(fs::path root) : root_(std::move(root)), realRoot_(RealPathOf(root_)) {}

fs::path GameFolder::RealRoot() const { return realRoot_.empty() ? RealPathOf(root_) : realRoot_; }

std::optional<fs::path> GameFolder::Inside(const fs::path& path) const {
  const fs::path root = RealRoot();
  const fs::path real = RealPathOf(path);
  if (root.empty() || real.empty()) return std::nullopt;
  // The root's parts are a prefix of the path's.
  const auto [rootEnd, realAt] = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
  if (rootEnd != root.end()) return std::nullopt;
  return real;
}

bool GameFolder::Holds(const fs::path& path) const { return Inside(path).has_value(); }

std::optional<std::vector<std::string>> SplitGameName(std::string_view name) {
  // Names are the kit's zero-terminated strings: what follows a zero byte is no part of the
  // name, and no file name can hold one.
  name = name.substr(0, name.find('\0'));
  if (name.empty()) return std::nullopt;
  if (name.front() == '/' || name.front() == '\\') return std::nullopt;
  if (name.size() >= 2 && name[1] == ':') return std::nullopt;  // drive letter
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&]() -> bool {
    if (part == "..") return false;
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
    return true;
  };
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    // A Shift-JIS lead byte takes its trail byte with it: a trail byte 0x5C is not a separator.
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      part += name[i];
      if (i + 1 < name.size()) part += name[++i];
      continue;
    }
    if (c == '/' || c == '\\') {
      if (!flush()) return std::nullopt;
    } else {
      part += char(c);
    }
  }
  if (!flush()) return std::nullopt;
  if (parts.empty()) return std::nullopt;
  return parts;
}

// The entry of `dir` named `part`, in any ASCII letter case; a Shift-JIS part also matches
// an entry whose name is its UTF-8 form (game folders copied onto Linux usually are).
std::optional<fs::path> GameFolder::FindEntry(const fs::path& dir, const std::string& part) const {
  return listings_->Find(dir, part, Cp932ToUtf8(part));
}

std::optional<fs::path> GameFolder::Find(std::string_view name) const {
  auto parts = SplitGameName(name);
  if (!parts) return std::nullopt;
  // While every entry on the way is a plain file or folder, the real path is the real root
  // with the entries' names (none is "." or "..", none holds a zero byte), and nothing needs
  // resolving; only a link met on the way makes the whole path be followed, component by
  // component, to see where it ends. Nothing is built for a name that is not there.
  WalkFromRoot walk(*this);
  for (size_t i = 0; i < parts->size(); ++i) {
    auto next = FindEntry(i == 0 ? root_ : walk.current, (*parts)[i]);
    if (!next) return std::nullopt;
    walk.Step(std::move(*next));
  }
  return walk.End();
}

std::vector<std::optional<fs::path>> GameFolder::FindEach(std::span<const std::string> names) const {
  std::vector<std::optional<fs::path>> found(names.size());
  // Names of one part are looked for in the root's listing together, which checks the folder
  // once for all of them; longer ones one by one.
  std::vector<size_t> single;
  std::vector<std::string> parts, utf8;
  for (size_t i = 0; i < names.size(); ++i) {
    auto split = SplitGameName(names[i]);
    if (!split) continue;
    if (split->size() > 1) {
      found[i] = Find(names[i]);
      continue;
    }
    single.push_back(i);
    utf8.push_back(Cp932ToUtf8(split->front()));
    parts.push_back(std::move(split->front()));
  }
  std::vector<FolderListings::Names> wanted;
  for (size_t k = 0; k < single.size(); ++k) wanted.push_back({&parts[k], &utf8[k]});
  auto entries = listings_->FindEach(root_, wanted);
  for (size_t k = 0; k < single.size(); ++k) {
    if (!entries[k]) continue;
    WalkFromRoot walk(*this);
    walk.Step(std::move(*entries[k]));
    found[single[k]] = walk.End();
  }
  return found;
}

GameFolder::WalkFromRoot::WalkFromRoot(const GameFolder& folder)
    : folder_(folder), throughLink_(folder.realRoot_.empty()) {}

void GameFolder::WalkFromRoot::Step(fs::path entry) {
  current = std::move(entry);
  if (throughLink_) return;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(current, ec);
  if (ec || fs::is_symlink(status)) {
    throughLink_ = true;
    return;
  }
  if (real_.empty()) real_ = folder_.realRoot_;
  real_ /= current.filename();
}

std::optional<fs::path> GameFolder::WalkFromRoot::End() const {
  if (throughLink_) return folder_.Inside(current);
  return real_;
}

std::optional<fs::path> GameFolder::FindFile(std::string_view name) const {
  auto path = Find(name);
  std::error_code ec;
  if (!path || !fs::is_regular_file(*path, ec)) return std::nullopt;
  return path;
}

std::optional<Bytes> ReadFileBytes(const fs::path& path, size_t maxBytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  auto size = fs::file_size(path, ec);
  if (ec || size > maxBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Bytes bytes(size);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
  bytes.resize(size_t(in.gcount()));
  return bytes;
}

std::optional<Bytes> GameFolder::ReadAll(std::string_view name, size_t maxBytes) const {
  auto path = FindFile(name);
  if (!path) return std::nullopt;
  return ReadFileBytes(*path, maxBytes);
}

std::optional<Bytes> ReadFileRange(const fs::path& path, uint64_t offset, size_t size) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  uint64_t fileSize = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  if (offset >= fileSize) return Bytes{};
  size = size_t(std::min<uint64_t>(size, fileSize - offset));
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(std::streamoff(offset));
  Bytes bytes(size);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
  bytes.resize(size_t(in.gcount()));
  return bytes;
}

std::optional<Bytes> GameFolder::ReadRange(std::string_view name, uint64_t offset, size_t size) const {
  auto path = Find(name);
  if (!path) return std::nullopt;
  return ReadFileRange(*path, offset, size);
}

std::optional<uint64_t> GameFolder::FileSize(std::string_view name) const {
  auto path = FindFile(name);
  if (!path) return std::nullopt;
  std::error_code ec;
  auto size = fs::file_size(*path, ec);
  if (ec) return std::nullopt;
  return size;
}

std::optional<GameFolder::FileStamp> GameFolder::Stamp(std::string_view name) const {
  auto path = FindFile(name);
  if (!path) return std::nullopt;
  std::error_code ec;
  FileStamp stamp{*path, fs::file_size(*path, ec), {}};
  if (ec) return std::nullopt;
  stamp.modified = fs::last_write_time(*path, ec);
  if (ec) return std::nullopt;
  return stamp;
}

void GameFolder::NoteWritten(const std::filesystem::path& file) const {
  listings_->NoteWritten(file.parent_path(), file.filename().string());
}

}  // namespace orv
