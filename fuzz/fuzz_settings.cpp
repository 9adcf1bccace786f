// The player's settings file over arbitrary text: it must read or refuse, never fail to write
// back what it read, and every value it takes must be one the player can use.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/player_settings.h"
#include "platform/user_folders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)orv::PicturesFolderInUserDirs(text, "/home/u");
  const orv::Result<orv::SettingsFile> file = orv::SettingsFile::Parse(text);
  if (!file) return 0;
  const orv::PlayerSettings& s = file->settings;
  if (s.autoDelays.baseMs > 60000 || s.autoDelays.perCharacterMs > 60000) std::abort();
  // What it writes it must read again, with the same values.
  const orv::Result<orv::SettingsFile> again = orv::SettingsFile::Parse(file->Serialize(s));
  if (!again || again->settings.scaling != s.scaling || again->settings.waveVolume != s.waveVolume ||
      again->settings.autoDelays.baseMs != s.autoDelays.baseMs || again->settings.soundFont != s.soundFont)
    std::abort();
  return 0;
}
