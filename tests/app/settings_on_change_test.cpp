// Settings written as they change, for a player with no exit of its own (a browser tab): only a
// real change writes, and each change is written.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_session.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

TEST(SettingsOnChange, WritesEachChangeAndNothingElse) {
  TempDir dir;
  const fs::path file = dir.path() / "orvane.toml";
  SettingsSession session = SettingsSession::Open(file, nullptr);
  // Nothing changed since start: no file appears (a first visit leaves no trace).
  EXPECT_TRUE(session.SaveIfChanged(nullptr));
  EXPECT_FALSE(fs::exists(file));

  session.settings().speech = true;
  EXPECT_TRUE(session.SaveIfChanged(nullptr));
  EXPECT_NE(dir.Read("orvane.toml").find("[speech]\nenabled = true"), std::string::npos) << dir.Read("orvane.toml");

  // Unchanged since that write: not written again, even if the file went meanwhile.
  fs::remove(file);
  EXPECT_TRUE(session.SaveIfChanged(nullptr));
  EXPECT_FALSE(fs::exists(file));

  // A second change is written on top of the first, which it keeps.
  session.settings().waveVolume = 0x30003000;
  EXPECT_TRUE(session.SaveIfChanged(nullptr));
  Result<SettingsFile> saved = SettingsFile::Parse(dir.Read("orvane.toml"));
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->settings.speech);
  EXPECT_EQ(saved->settings.waveVolume, 0x30003000u);
  EXPECT_EQ(saved->settings.autoDelays, session.settings().autoDelays);
}

}  // namespace
}  // namespace orv::test
