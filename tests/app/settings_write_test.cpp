// The player's settings file as runs change it: what the player set is what is written, in
// place in a file written by hand, through a link, and nothing the player did not change.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/player_settings.h"
#include "app/toml_in_place.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

const std::string kHandWritten =
    "# my settings\r\n"
    "[volume]   # loud\r\n"
    "midi = [39000, 39000]\r\n"
    "wave   =   [ 65535,\r\n"
    "             65535 ]   # both ears\r\n"
    "\r\n"
    "[music]\r\n"
    "soundfont = \"/usr/share/sounds/sf2/日本.sf2\"  # ours\r\n";

// The volume dialog's wave slider moved to 2 (13000 in both channels), then the game closed by
// its menu, as a person ends a session.
const std::vector<std::string> kTurnWaveDown = {"menu volume", "slider wave 2", "close", "menu N5"};

struct Configured {
  TempDir dir;
  fs::path config;
  explicit Configured(const std::string& text) : config(dir.path() / "orvane.toml") {
    WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
    if (!text.empty()) dir.Write("orvane.toml", text);
  }
  HeadlessResult Run(const std::vector<std::string>& events, const fs::path& path) const {
    return RunHeadlessGame(dir.path(), events, 0, {"--config", path.string()});
  }
};

TEST(SettingsWrite, VolumesAreTheOnesSetNotTheOnesClosingPutBack) {
  Configured c("");
  ASSERT_EQ(c.Run(kTurnWaveDown, c.config).exitCode, 0);
  Result<SettingsFile> saved = SettingsFile::Parse(c.dir.Read("orvane.toml"));
  ASSERT_TRUE(saved) << c.dir.Read("orvane.toml");
  EXPECT_EQ(saved->settings.waveVolume, 13000u | 13000u << 16);
  // Lines the player never touched are not written as whatever the device had.
  EXPECT_FALSE(saved->settings.midiVolume);
}

TEST(SettingsWrite, AHandWrittenFileChangesOnlyInTheValueThatChanged) {
  Configured c(kHandWritten);
  ASSERT_EQ(c.Run(kTurnWaveDown, c.config).exitCode, 0);
  std::string expected = kHandWritten;
  const std::string old = "[ 65535,\r\n             65535 ]";
  expected.replace(expected.find(old), old.size(), "[13000, 13000]");
  EXPECT_EQ(c.dir.Read("orvane.toml"), expected);

  // A run that changes nothing leaves the file as it is, byte for byte.
  ASSERT_EQ(c.Run({"click"}, c.config).exitCode, 0);
  EXPECT_EQ(c.dir.Read("orvane.toml"), expected);
}

TEST(SettingsWrite, AValueOfTheWrongKindStaysUntilThePlayerSetsIt) {
  const std::string text = "[speech]\nenabled = \"yes\"\n[auto]\nbase_delay_ms = \"fast\"\n";
  Configured c(text);
  HeadlessResult run = c.Run(kTurnWaveDown, c.config);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("speech.enabled"), std::string::npos) << run.err;
  EXPECT_EQ(c.dir.Read("orvane.toml"), text + "\n[volume]\nwave = [13000, 13000]\n");

  // Speech turned on by the player replaces the value it could not read.
  ASSERT_EQ(c.Run({"key v"}, c.config).exitCode, 0);
  EXPECT_NE(c.dir.Read("orvane.toml").find("[speech]\nenabled = true\n[auto]\nbase_delay_ms = \"fast\"\n"),
            std::string::npos)
      << c.dir.Read("orvane.toml");
}

TEST(SettingsWrite, ALinkedConfigUpdatesTheFileItLeadsTo) {
  Configured c("[volume]\nmidi = [1, 2]\n");
  fs::create_directory(c.dir.path() / "dotfiles");
  fs::rename(c.config, c.dir.path() / "dotfiles" / "orvane.toml");
  fs::create_symlink("dotfiles/orvane.toml", c.dir.path() / "link1.toml");
  fs::create_symlink(c.dir.path() / "link1.toml", c.config);  // a link to a link
  ASSERT_EQ(c.Run(kTurnWaveDown, c.config).exitCode, 0);
  EXPECT_TRUE(fs::is_symlink(c.config));
  EXPECT_TRUE(fs::is_symlink(c.dir.path() / "link1.toml"));
  EXPECT_EQ(c.dir.Read("dotfiles/orvane.toml"), "[volume]\nmidi = [1, 2]\nwave = [13000, 13000]\n");
}

TEST(TomlInPlace, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEnd) {
  const std::string text = "a = 1\n[x]\nk = 1 # c\n\n# about y\n[y]\n";
  EXPECT_EQ(SetTomlValue(text, "x", "n", "true"), "a = 1\n[x]\nk = 1 # c\nn = true\n\n# about y\n[y]\n");
  EXPECT_EQ(SetTomlValue(text, "y", "n", "2"), text + "n = 2\n");
  EXPECT_EQ(SetTomlValue("[x]\nk = 1", "z", "n", "2"), "[x]\nk = 1\n\n[z]\nn = 2\n");
  EXPECT_EQ(SetTomlValue("[x]\nk = 1", "x", "n", "2"), "[x]\nk = 1\nn = 2\n");
  // A key after a multi-line array, and a value after a string of characters beyond ASCII.
  EXPECT_EQ(SetTomlValue("[x]\ns = \"日本\"\nk = [\n 1 ]\n", "x", "s", "\"ab\""), "[x]\ns = \"ab\"\nk = [\n 1 ]\n");
  EXPECT_EQ(SetTomlValue("[x]\nk = [\n 1 ]\n[x.sub]\nq = 1\n", "x", "n", "2"),
            "[x]\nk = [\n 1 ]\nn = 2\n[x.sub]\nq = 1\n");
}

TEST(TomlInPlace, LayoutsThatCannotTakeAKeyInPlaceAreLeftToARewrite) {
  EXPECT_FALSE(SetTomlValue("x = { k = 1 }\n", "x", "n", "2"));
  EXPECT_FALSE(SetTomlValue("x.k = 1\n", "x", "n", "2"));
  EXPECT_FALSE(SetTomlValue("x = 3\n", "x", "n", "2"));
  EXPECT_FALSE(SetTomlValue("[x\n", "x", "n", "2"));
  // A value that is there is replaced whatever made its table.
  EXPECT_EQ(SetTomlValue("x = { k = 1 }\n", "x", "k", "2"), "x = { k = 2 }\n");

  // The file as a whole then still gets what changed, comments or not.
  Result<SettingsFile> file = SettingsFile::Parse("speech = { enabled = false }  # inline\nkeep = 'me'\n");
  ASSERT_TRUE(file);
  PlayerSettings changed = file->settings;
  changed.waveVolume = 7;
  Result<SettingsFile> again = SettingsFile::Parse(file->Serialize(changed));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->settings.waveVolume, 7u);
  EXPECT_FALSE(again->settings.speech);
}

}  // namespace
}  // namespace orv::test
