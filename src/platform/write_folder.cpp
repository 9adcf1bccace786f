#include "platform/write_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace orv {
namespace fs = std::filesystem;

namespace {

fs::path Absolute(const fs::path& p) {
  std::error_code ec;
  fs::path out = fs::weakly_canonical(fs::absolute(p, ec), ec);
  return ec ? fs::absolute(p) : out;
}

bool WritableFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

uint32_t Fnv1a(std::string_view bytes) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : bytes) hash = (hash ^ c) * 16777619u;
  return hash;
}

}  // namespace

WriteFolder::WriteFolder(const GameFolder& game, fs::path folder)
    : game_(game), folder_(std::move(folder)), replace_(ReplaceAt) {}

std::string WriteFolder::FolderNameFor(const fs::path& gameRoot) {
  const fs::path full = Absolute(gameRoot);
  std::string name = full.filename().string();
  if (name.empty()) name = "game";
  char hash[9];
  std::snprintf(hash, sizeof hash, "%08x", Fnv1a(full.string()));
  return name + "-" + hash;
}

fs::path WriteFolder::Resolve(const fs::path& gameRoot, const std::optional<fs::path>& saveDir) {
  return Choose(gameRoot, saveDir, WritableFolder(gameRoot), UserDataHome());
}

fs::path WriteFolder::Choose(const fs::path& gameRoot, const std::optional<fs::path>& saveDir, bool gameRootWritable,
                             const std::optional<fs::path>& dataHome) {
  if (saveDir) return Absolute(*saveDir);
  if (gameRootWritable || !dataHome) return gameRoot;
  return *dataHome / "orvane" / FolderNameFor(gameRoot);
}

std::optional<fs::path> WriteFolder::UserDataHome() {
  // An empty or relative value is to be ignored, by the base-directory rules.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && fs::path(xdg).is_absolute()) return fs::path(xdg);
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "share";
  return std::nullopt;
}

std::optional<fs::path> WriteFolder::Find(std::string_view name) const {
  if (auto here = folder_.Find(name)) return here;
  return game_.Find(name);
}

std::optional<Bytes> WriteFolder::ReadAll(std::string_view name, size_t maxBytes) const {
  auto file = Find(name);
  if (!file) return std::nullopt;
  return ReadFileBytes(*file, maxBytes);
}

std::optional<Bytes> WriteFolder::ReadPrefix(std::string_view name, size_t size) const {
  const std::string one(name);
  return std::move(ReadPrefixes(std::span(&one, 1), size).front());
}

std::vector<std::optional<Bytes>> WriteFolder::ReadPrefixes(std::span<const std::string> names, size_t size) const {
  // The player reads the ten slots' captions at every start and after every save: each folder
  // is checked once for all of them, and a folder that just changed is listed once.
  std::vector<std::optional<Bytes>> read(names.size());
  const auto here = folder_.FindEach(names);
  std::vector<std::string> elsewhere;
  for (size_t i = 0; i < names.size(); ++i)
    if (!here[i]) elsewhere.push_back(names[i]);
  const auto inGame = game_.FindEach(elsewhere);
  for (size_t i = 0, k = 0; i < names.size(); ++i) {
    const std::optional<fs::path>& file = here[i] ? here[i] : inGame[k++];
    if (file) read[i] = ReadFileRange(*file, 0, size);
  }
  return read;
}

Result<void> WriteFolder::WriteParts(std::span<const std::string> parts, ByteSpan data) const {
  Result<ConfinedTarget> target = PlaceBeneath(path(), parts);
  Result<void> written = target ? replace_(*target, data) : Result<void>(target.error());
  if (!written) return written;
  NoteWritten(target->shown());
  return {};
}

void WriteFolder::NoteWritten(const fs::path& file) const {
  // Look-ups find the new file without walking its folder again: the game's own among them
  // when saves go into the game folder, as they do by default.
  folder_.NoteWritten(file);
  game_.NoteWritten(file);
}

Result<void> WriteFolder::Write(std::string_view name, ByteSpan data) const {
  auto parts = SplitGameName(name);
  if (!parts) return Error{ErrorKind::Refused, "cannot write " + std::string(name) + ": not a name inside the folder"};
  return WriteParts(*parts, data);
}

Result<void> WriteFolder::WriteChosen(const fs::path& file, ByteSpan data) const {
  if (file.is_absolute()) {
    Result<void> status = WriteFileAtomically(file, data);
    if (status) NoteWritten(file);
    return status;
  }
  std::vector<std::string> parts;
  for (const fs::path& part : file.lexically_normal())
    if (!part.empty() && part != ".") parts.push_back(part.string());
  return WriteParts(parts, data);
}

}  // namespace orv
