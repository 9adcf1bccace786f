#pragma once
// The player's own settings, kept per user in $XDG_CONFIG_HOME/orvane/orvane.toml and entirely
// apart from a game's orvane.ini, whose bytes stay the kit's. The file is read at start and
// written at exit with only what the player changed, each value where it stands: a file written
// by hand keeps its comments and layout, keys this player does not know are kept as they were
// (so a newer player's settings survive an older one), and a value of the wrong kind stays as
// written until the player sets it.
//
//   [display]  scaling = "integer" | "fit" | "stretch"
//   [music]    soundfont = "/path/to/font.sf2"
//   [volume]   wave = [left, right]   midi = [...]   cd = [...]     (each 0..65535)
//   [speech]   enabled = true | false
//   [auto]     base_delay_ms = 1500   per_character_delay_ms = 60
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/auto_advance.h"
#include "platform/result.h"

namespace orv {

struct PlayerSettings {
  std::optional<std::string> scaling;
  std::optional<std::string> soundFont;
  // The mixer's volumes in the 32-bit form (low 16 bits left, high 16 bits right).
  std::optional<uint32_t> waveVolume, midiVolume, cdVolume;
  bool speech = false;
  AutoAdvanceDelays autoDelays;
  friend bool operator==(const PlayerSettings&, const PlayerSettings&) = default;
};

class SettingsFile {
 public:
  // The settings a file's text holds. A file that is no TOML at all is an error; a known key of
  // the wrong kind or out of range is left at its default and reported in `problem`.
  static Result<SettingsFile> Parse(std::string_view text);

  // The file's text with the settings that differ from what it held written in place and
  // everything else as it was; a new file holds every setting.
  std::string Serialize(const PlayerSettings& settings) const;
  // The text the file held when it was read (empty for a new file).
  const std::string& text() const { return original_; }

  PlayerSettings settings;
  // The first value that could not be used, for one line to the person running the player.
  std::string problem;

 private:
  std::string original_;
};

// $XDG_CONFIG_HOME/orvane/orvane.toml (or ~/.config/...); nothing without a home.
std::optional<std::filesystem::path> DefaultSettingsPath();

}  // namespace orv
