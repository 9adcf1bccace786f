#pragma once
// Where the player writes the files a game keeps (save slots, variable files, the settings
// file, saved screens): the folder given with --save-dir, else the game folder when it can be
// written, else a folder of the game's own under the user's data folder, made on the first
// write. Reads look there first and then in the game folder, so saves shipped with a game
// still load. Names resolve as in the game folder: letter case ignored, "\" a separator,
// nothing outside the folder, and no symbolic link followed on the way (platform/confined_write.h).
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bytes.h"
#include "platform/confined_write.h"
#include "platform/game_folder.h"
#include "platform/os.h"

namespace orv {

class WriteFolder {
 public:
  // How a file is replaced once its place is found; every write goes through this one
  // function, which never leaves a half-written file (ReplaceAt).
  using Replace = std::function<Result<void>(const ConfinedTarget&, ByteSpan)>;

  WriteFolder(const GameFolder& game, std::filesystem::path folder);

  // The folder by the rule above, from what the system says about the game folder and the
  // user's data folder.
  static std::filesystem::path Resolve(const std::filesystem::path& gameRoot,
                                       const std::optional<std::filesystem::path>& saveDir);
  // The rule itself. `dataHome` is the user's data folder ($XDG_DATA_HOME, else
  // ~/.local/share); without one an unwritable game folder stays the choice, and writes fail.
  static std::filesystem::path Choose(const std::filesystem::path& gameRoot,
                                      const std::optional<std::filesystem::path>& saveDir, bool gameRootWritable,
                                      const std::optional<std::filesystem::path>& dataHome);
  // The user's data folder as the environment names it.
  static std::optional<std::filesystem::path> UserDataHome();
  // "<folder name>-<8 hex digits of a hash of the full path>": one folder per game folder.
  static std::string FolderNameFor(const std::filesystem::path& gameRoot);

  const std::filesystem::path& path() const { return folder_.root(); }

  // The file a read of `name` opens: in this folder, else in the game folder.
  std::optional<std::filesystem::path> Find(std::string_view name) const;
  // The file of that name in this folder only.
  std::optional<std::filesystem::path> FindHere(std::string_view name) const { return folder_.Find(name); }
  std::optional<Bytes> ReadAll(std::string_view name, size_t maxBytes = GameFolder::kMaxFileBytes) const;
  // At most `size` bytes from the start: fewer when the file is shorter.
  std::optional<Bytes> ReadPrefix(std::string_view name, size_t size) const;
  // ReadPrefix for each name, each folder checked once for all of them.
  std::vector<std::optional<Bytes>> ReadPrefixes(std::span<const std::string> names, size_t size) const;

  // Replaces (or creates) the file a game names `name` in this folder: an existing file of
  // that name in any letter case, else the name as given. Missing folders are made. A name
  // that leaves the folder or passes through a symbolic link is refused, with the reason.
  Result<void> Write(std::string_view name, ByteSpan data) const;
  // Replaces a file the person playing named (a saved screen): an absolute path is theirs to
  // choose and written as it stands; a relative one is written in this folder as Write does.
  Result<void> WriteChosen(const std::filesystem::path& file, ByteSpan data) const;

  // Removes what writes that were cut short (a killed player) left behind.
  void RemoveLeftovers() const { RemoveLeftoverTemporaries(path()); }

  // Tests replace the writer to fail a write at chosen steps.
  void SetReplace(Replace replace) { replace_ = std::move(replace); }

 private:
  Result<void> WriteParts(std::span<const std::string> parts, ByteSpan data) const;
  // A write of `file` succeeded: the folders' listings take it in.
  void NoteWritten(const std::filesystem::path& file) const;
  const GameFolder& game_;
  GameFolder folder_;
  Replace replace_;
};

}  // namespace orv
