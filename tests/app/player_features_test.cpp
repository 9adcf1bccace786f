// The player's own features played headless: auto mode on the virtual clock, the screenshot
// key, and the settings file that carries them between runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/auto_advance.h"
#include "app/player_settings.h"
#include "platform/user_folders.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

int LineCount(const json& dump) { return dump["history"][0]["lineCount"].get<int>(); }

TEST(AutoMode, AdvancesAfterTheBasePlusEachCharacterAndStopsAtTheFirstClick) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"abcde\"\\n", "\"xy\"\\n", "\"z\"\\n", "\"end\"\\n"}});
  dir.Write("player.toml", "[auto]\nbase_delay_ms = 1000\nper_character_delay_ms = 100\n");
  // "abcde" waits 1000 + 5 x 100 ms, "xy" 1000 + 2 x 100 ms.
  HeadlessResult run = RunHeadlessGame(dir.path(),
                                       {"key a", "dump on.json", "wait 1499", "dump early.json", "wait 1",
                                        "dump first.json", "wait 1200", "dump second.json", "click", "dump clicked.json",
                                        "wait 10000", "dump stopped.json"},
                                       0, {"--config", (dir.path() / "player.toml").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json on = ReadDump(dir, "on.json"), early = ReadDump(dir, "early.json"), first = ReadDump(dir, "first.json"),
             second = ReadDump(dir, "second.json"), clicked = ReadDump(dir, "clicked.json"),
             stopped = ReadDump(dir, "stopped.json");
  EXPECT_EQ(on["autoMode"]["on"], true);
  EXPECT_EQ(on["autoMode"]["dueMs"].get<uint32_t>(), on["clockMs"].get<uint32_t>() + 1500);
  EXPECT_EQ(on["menu"]["AutoMode"]["checked"], true);
  EXPECT_EQ(LineCount(early), 1);
  EXPECT_EQ(LineCount(first), 2);
  EXPECT_EQ(LineCount(second), 3);
  // The click is the player's own advance, and auto mode gives way to it.
  EXPECT_EQ(LineCount(clicked), 4);
  EXPECT_EQ(clicked["autoMode"]["on"], false);
  EXPECT_EQ(stopped["autoMode"]["dueMs"], nullptr);
  EXPECT_EQ(LineCount(stopped), 4);
}

TEST(AutoMode, NeverTakesAChoiceAndAKeyEndsIt) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"q\"\\n", "~SELECT", "{", "a,@a", "b,@b", "}", "*a", "\"A\"\\n", "*b", "\"B\"\\n"}});
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"key a", "wait 30000", "dump choice.json", "key up", "dump keyed.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json choice = ReadDump(dir, "choice.json"), keyed = ReadDump(dir, "keyed.json");
  EXPECT_EQ(choice["choiceActive"], true);
  EXPECT_EQ(choice["autoMode"]["on"], true);
  EXPECT_EQ(keyed["autoMode"]["on"], false);
  EXPECT_EQ(keyed["choiceActive"], true);
}

TEST(AutoMode, CountsTwoByteCodesAsOneCharacterAndCapsTheDelay) {
  EXPECT_EQ(CountSjisCharacters(Sjis("あいう") + "ab"), 5u);
  EXPECT_EQ(CountSjisCharacters("\x82"), 1u);  // a lead byte cut off at the end
  AutoAdvance autoMode;
  autoMode.delays = {4000000000u, 4000000000u};
  EXPECT_EQ(autoMode.DelayFor(1000), 60000u);
}

TEST(Screenshot, F12WritesThePngAShotOfTheSameMomentWrites) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~BOXSIZE 10,300,630,470", "~BOXCOL 0,0,200,128", "\"文字\"\\n", "\"次\"\\n"}});
  const fs::path shots = dir.path() / "shots";
  HeadlessResult run = RunHeadlessGame(dir.path(), {"key f12", "shot same.png", "menu Screenshot"}, 0,
                                       {"--screenshot-dir", shots.string(), "--date", "2026-12-08 10:20:30"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string name = dir.path().filename().string() + "_2026-12-08_10-20-30";
  ASSERT_TRUE(fs::exists(shots / (name + ".png"))) << run.out;
  EXPECT_EQ(dir.Read("shots/" + name + ".png"), dir.Read("same.png"));
  // A second shot in the same second gets a name of its own.
  EXPECT_TRUE(fs::exists(shots / (name + "-2.png")));
  EXPECT_NE(run.out.find("note: スクリーンショット: " + (shots / (name + ".png")).string()), std::string::npos);
}

TEST(Screenshot, AFolderThatCannotBeMadeIsSaidAndTheGameGoesOn) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  dir.Write("blocker", "a file where the folder would go");
  HeadlessResult run = RunHeadlessGame(dir.path(), {"key f12", "click", "dump after.json"}, 0,
                                       {"--screenshot-dir", (dir.path() / "blocker" / "shots").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("note: スクリーンショットを保存できませんでした"), std::string::npos) << run.out;
  EXPECT_EQ(LineCount(ReadDump(dir, "after.json")), 2);
}

TEST(Settings, KeepUnknownKeysAndTakeBackWhatThePlayerChanged) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  dir.Write("player.toml",
            "[future]\nfeature = \"kept\"\n[display]\nscaling = \"fit\"\n[auto]\nper_character_delay_ms = 25\n");
  const std::string config = (dir.path() / "player.toml").string();
  HeadlessResult run =
      RunHeadlessGame(dir.path(), {"menu volume", "slider wave 2", "close", "dump d.json"}, 0, {"--config", config});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadDump(dir, "d.json")["autoMode"]["perCharacterDelayMs"], 25);
  Result<SettingsFile> saved = SettingsFile::Parse(dir.Read("player.toml"));
  ASSERT_TRUE(saved) << dir.Read("player.toml");
  EXPECT_EQ(dir.Read("player.toml").find("[future]\nfeature = \"kept\"\n"), 0u) << dir.Read("player.toml");
  EXPECT_EQ(saved->settings.scaling, "fit");
  EXPECT_EQ(saved->settings.autoDelays.perCharacterMs, 25u);
  EXPECT_EQ(saved->settings.autoDelays.baseMs, AutoAdvanceDelays{}.baseMs);
  ASSERT_TRUE(saved->settings.waveVolume.has_value());
  EXPECT_LT(*saved->settings.waveVolume & 0xFFFF, 0xFFFFu);

  // The next run starts from them.
  HeadlessResult again = RunHeadlessGame(dir.path(), {"dump e.json"}, 0, {"--config", config});
  EXPECT_EQ(ReadDump(dir, "e.json")["volumes"]["wave"], *saved->settings.waveVolume);
}

TEST(Settings, SpeechKeepsWhatThePlayerToggledButNotWhatTheCommandLineAsked) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  const std::string config = (dir.path() / "player.toml").string();
  dir.Write("player.toml", "[speech]\nenabled = false\n");
  ASSERT_EQ(RunHeadlessGame(dir.path(), {"click"}, 0, {"--config", config, "--speak"}).exitCode, 0);
  EXPECT_FALSE(SettingsFile::Parse(dir.Read("player.toml"))->settings.speech);

  dir.Write("player.toml", "[speech]\nenabled = true\n");
  HeadlessResult run = RunHeadlessGame(dir.path(), {"key v"}, 0,
                                       {"--config", config, "--speech-log", (dir.path() / "speech.log").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // On from the file, so the first line was spoken; then V turned it off for good.
  EXPECT_NE(dir.Read("speech.log").find(" a"), std::string::npos) << dir.Read("speech.log");
  EXPECT_FALSE(SettingsFile::Parse(dir.Read("player.toml"))->settings.speech);
}

TEST(Settings, AMalformedFileIsOneLineTheDefaultsAndLeftAlone) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n"}});
  const std::string broken = "[auto]\nbase_delay_ms = = 3\n";
  dir.Write("player.toml", broken);
  HeadlessResult run =
      RunHeadlessGame(dir.path(), {"dump d.json"}, 0, {"--config", (dir.path() / "player.toml").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find("line 2"), std::string::npos) << run.err;
  EXPECT_EQ(ReadDump(dir, "d.json")["autoMode"]["baseDelayMs"], AutoAdvanceDelays{}.baseMs);
  EXPECT_EQ(dir.Read("player.toml"), broken);

  // Files the library would recurse through until the stack runs out, and one far too large,
  // are refused before it reads them, the same way; ordinary nesting and dots in strings are fine.
  std::string deepKey = "a";
  for (int i = 0; i < 20000; ++i) deepKey += ".a";
  const std::string refused[] = {deepKey + " = 1\n", "x = " + std::string(40, '[') + std::string(40, ']') + "\n",
                                 "# " + std::string(70000, 'x') + "\n"};
  for (const std::string& text : refused) {
    dir.Write("player.toml", text);
    HeadlessResult again =
        RunHeadlessGame(dir.path(), {"dump d.json"}, 0, {"--config", (dir.path() / "player.toml").string()});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(std::count(again.err.begin(), again.err.end(), '\n'), 1) << again.err;
    EXPECT_EQ(ReadDump(dir, "d.json")["autoMode"]["baseDelayMs"], AutoAdvanceDelays{}.baseMs);
    EXPECT_EQ(dir.Read("player.toml"), text);
  }
  EXPECT_TRUE(
      SettingsFile::Parse("a.b.c = \"x.y.z...............................\"\n[auto]\nbase_delay_ms = 5 # ....\n"));
  EXPECT_TRUE(SettingsFile::Parse("v = [[1, 2], [3, [4]]]\nw = '''lit[[[[\n.....'''\nz = 'a.b.c.d'\n"));
}

TEST(Settings, ValuesOfTheWrongKindFallBackOneByOne) {
  Result<SettingsFile> file = SettingsFile::Parse(
      "[display]\nscaling = \"huge\"\n[volume]\nwave = [1, 70000]\nmidi = [0, 65535]\n[speech]\nenabled = 1\n"
      "[auto]\nbase_delay_ms = -5\nper_character_delay_ms = 40\n");
  ASSERT_TRUE(file);
  EXPECT_FALSE(file->settings.scaling);
  EXPECT_FALSE(file->settings.waveVolume);
  EXPECT_EQ(file->settings.midiVolume, 0xFFFF0000u);
  EXPECT_FALSE(file->settings.speech);
  EXPECT_EQ(file->settings.autoDelays.baseMs, AutoAdvanceDelays{}.baseMs);
  EXPECT_EQ(file->settings.autoDelays.perCharacterMs, 40u);
  EXPECT_NE(file->problem.find("display.scaling"), std::string::npos) << file->problem;
}

TEST(UserFolders, PicturesFolderAsUserDirsStatesIt) {
  const fs::path home = "/home/u";
  EXPECT_EQ(PicturesFolderInUserDirs("# c\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", home), home / "Bilder");
  EXPECT_EQ(PicturesFolderInUserDirs("XDG_PICTURES_DIR=\"/srv/pics\"\r\n", home), fs::path("/srv/pics"));
  EXPECT_FALSE(PicturesFolderInUserDirs("XDG_PICTURES_DIR=\"$HOME/\"\n", home));
  EXPECT_FALSE(PicturesFolderInUserDirs("XDG_PICTURES_DIR=$HOME/Bilder\n", home));
  EXPECT_FALSE(PicturesFolderInUserDirs("XDG_PICTURES_DIR=\"relative\"\n", home));
  EXPECT_FALSE(PicturesFolderInUserDirs("XDG_MUSIC_DIR=\"$HOME/Music\"", home));
}

}  // namespace
}  // namespace orv::test
