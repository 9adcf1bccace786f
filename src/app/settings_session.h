#pragma once
// The player's settings file over one run: read at start, applied to the parts, gathered
// from them at exit and written back atomically. A file that cannot be read as TOML is reported
// in one line, the defaults are used, and it is never overwritten: the user's text is theirs to
// mend.
#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/player_settings.h"

namespace orv {

class AudioOut;
class Player;

class SettingsSession {
 public:
  // No path: the defaults, and nothing is written.
  static SettingsSession Open(std::optional<std::filesystem::path> path, std::FILE* messages);

  const PlayerSettings& settings() const { return settings_; }
  const std::optional<std::filesystem::path>& path() const { return path_; }
  PlayerSettings& settings() { return settings_; }

  // Puts the volumes, speech and auto-mode delays into the player and its sound.
  void ApplyTo(Player& player, AudioOut& audio);
  // Takes back what the player changed: the volumes set in the volume dialog (as they were set,
  // whatever closing the game did to the device since), speech and the delays. Speech as the
  // command line set it is for that run only: only a change made while playing is kept.
  void GatherFrom(Player& player, AudioOut& audio);
  // Writes what changed into the file (through a link to the file it names); false (with one
  // line on `messages`) when it could not be written.
  bool Save(std::FILE* messages) const;
  // Saves when the settings differ from those last read or saved: for a player that may be
  // closed at any moment without an exit of its own (a browser tab). False only when a write
  // failed.
  bool SaveIfChanged(std::FILE* messages);

 private:
  std::optional<std::filesystem::path> path_;
  SettingsFile file_;
  PlayerSettings settings_;
  bool writable_ = true;
  bool speechAtStart_ = false;
  PlayerSettings lastStored_;
};

}  // namespace orv
