#pragma once
// The games played lately, kept in the player's own settings file so that the start screen
// can offer them again:
//
//   [recent]
//   games = [
//     { folder = "/home/me/games/mygame", caption = "My Game" },
//   ]
//
// The list is written into the file's text as a block of its own; every other line of the file
// stays as the person or the player's other settings left it.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct RecentGame {
  std::string folder;   // absolute, UTF-8
  std::string caption;  // UTF-8: the game's own title when it showed one, else the folder's name
};

class RecentGames {
 public:
  static constexpr size_t kMaxGames = 10;

  // The list in a settings file's text; none when the text has none, or is not TOML. Entries
  // without a folder are left out.
  static RecentGames FromSettingsText(std::string_view text);

  const std::vector<RecentGame>& games() const { return games_; }
  // Puts the folder first. An empty caption keeps the one it had, else the folder's name.
  void Played(const std::filesystem::path& folder, std::string_view caption);

  // The text with this list in place of the one it held (or added at its end). Nothing when
  // the text is not TOML, or the result would not read back as this list: a file the player
  // cannot read again would lose every setting in it.
  std::optional<std::string> WriteInto(std::string_view text) const;

 private:
  std::vector<RecentGame> games_;
};

// The list kept in the settings file; none when it cannot be read.
RecentGames LoadRecentGames(const std::filesystem::path& settingsFile);

// Puts the game first in the settings file's list and writes the file back in place (through a
// symbolic link to the file it names). False, with one line on `messages`, when the file is not
// TOML or cannot be written; the file is then left as it was.
bool RememberGame(const std::filesystem::path& settingsFile, const std::filesystem::path& folder,
                  std::string_view caption, std::FILE* messages);

// The title a game's window caption holds, without the player's version tag after it; empty
// when the game never named itself.
std::string GameTitleFromCaption(std::string_view utf8Caption, std::string_view utf8VersionCaption);

}  // namespace orv
