// Clicks, keys, the right button, skip mode and the menus, through the headless player.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/game_folder.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;

GameSpec BoxedGame(std::vector<std::string> lines) {
  GameSpec game;
  game.scenario = {"~BOXSIZE 10,300,630,470", "~BOXCOL 0,0,200,128", "~FONTCOLOR 255,255,255,0",
                   "~FONTSIZE 20", "~TXTPOS 20,310"};
  game.scenario.insert(game.scenario.end(), lines.begin(), lines.end());
  return game;
}

TEST(Input, RightClickHidesTheMessageWindowAndAClickBringsItBackExactly) {
  TempDir dir;
  WriteGame(dir, BoxedGame({"\"文字\"\\n", "\"次\"\\n"}));
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"shot before.bmp", "rclick", "shot hidden.bmp", "dump hidden.json", "click", "shot after.bmp",
                   "dump after.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string before = dir.Read("before.bmp"), hidden = dir.Read("hidden.bmp"), after = dir.Read("after.bmp");
  ASSERT_EQ(before.size(), 54u + 640 * 480 * 3);  // a 24-bit 640 x 480 BMP
  EXPECT_NE(before, hidden);
  EXPECT_EQ(before, after);
  EXPECT_EQ(ReadDump(dir, "hidden.json")["interactionState"], 0);
  json after_ = ReadDump(dir, "after.json");
  EXPECT_EQ(after_["interactionState"], 1);
  // Showing the window again is not an advance.
  EXPECT_EQ(after_["history"][0]["lineCount"], 1);
}

TEST(Input, SkipModeAdvancesByItselfUntilAKey) {
  TempDir dir;
  std::vector<std::string> lines;
  for (int i = 0; i < 20; ++i) lines.push_back("\"line " + std::to_string(i) + "\"\\n");
  WriteGame(dir, {.scenario = lines});
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"menu vol1", "menu SKIP", "wait 100", "dump skipping.json", "key space", "dump stopped.json", "wait 100",
                   "dump later.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json skipping = ReadDump(dir, "skipping.json"), stopped = ReadDump(dir, "stopped.json"), later = ReadDump(dir, "later.json");
  EXPECT_EQ(skipping["skipMode"], true);
  // One advance per 20 ms tick: skipped text still types at the message speed, so this
  // counts on "速い" being 0 ms in this game.
  EXPECT_GE(skipping["history"][0]["lineCount"].get<int>(), 5);
  EXPECT_EQ(stopped["skipMode"], false);
  EXPECT_EQ(later["history"][0]["lineCount"], stopped["history"][0]["lineCount"]);
}

TEST(Input, EnterAdvancesAndOtherKeysDoNot) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n", "\"c\"\\n"}});
  RunHeadlessGame(dir.path(), {"key x", "key up", "key escape", "dump keys.json", "key enter", "dump enter.json"});
  EXPECT_EQ(ReadDump(dir, "keys.json")["history"][0]["lineCount"], 1);
  EXPECT_EQ(ReadDump(dir, "enter.json")["history"][0]["lineCount"], 2);
}

TEST(Menus, VersionBoxExitAndWindowModes) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"menu About1", "menu N3", "menu FullMode", "dump modes.json", "menu WindowMode",
                   "dump window.json", "menu N5", "click"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.Messages(), std::vector<std::string>{"Orvane Ver2.11"});
  json modes = ReadDump(dir, "modes.json"), window = ReadDump(dir, "window.json");
  EXPECT_EQ(modes["menu"]["N3"]["checked"], false);
  EXPECT_EQ(modes["menu"]["FullMode"]["checked"], true);
  EXPECT_EQ(modes["menu"]["WindowMode"]["checked"], false);
  EXPECT_EQ(window["menu"]["WindowMode"]["checked"], true);
  // "ゲームを終了する" closed the window: the click after it ran nothing.
  EXPECT_EQ(run.Lines().size(), 2u);
}

TEST(HeadlessContract, DumpShotsAndEventErrors) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"!n:7!", "&s:\"名前\"", "\"a\"\\n"}});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"# a comment", "", "shot s.png", "dump d.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(dir.Read("s.png").substr(1, 3), "PNG");
  json d = ReadDump(dir, "d.json");
  for (const char* key : {"caption", "menu", "interactionState", "skipMode", "choiceActive", "pictureChoiceActive",
                          "hoveredChoice", "pointerOnChoice", "pageEnded", "scriptOffset", "textCursorX",
                          "textCursorY", "messageDelayMs", "textColor", "pageIndex", "history", "SceneState",
                          "SavePointState", "numericVariables", "stringVariables"})
    EXPECT_TRUE(d.contains(key)) << key;
  EXPECT_EQ(d["menu"]["SaveDat3"]["caption"], "3: ---- --/-- --:--:--");
  EXPECT_EQ(d["SceneState"]["fontName"], "ＭＳ 明朝");
  EXPECT_EQ(d["SceneState"]["waveMode"], -1);
  EXPECT_EQ(d["SceneState"]["charName"].size(), 10u);
  EXPECT_EQ(d["numericVariables"], json::parse(R"([{"index":0,"name":"n","value":7}])"));
  EXPECT_EQ(d["stringVariables"][0]["value"], "名前");

  EXPECT_EQ(RunHeadlessGame(dir.path(), {"jump"}).exitCode, 2);
  EXPECT_EQ(RunHeadlessGame(dir.path(), {"menu NoSuchItem"}).exitCode, 2);
  EXPECT_EQ(RunHeadlessGame(dir.path(), {}, 0, {"--bogus"}).exitCode, 2);
  // Events that run out end the run with 0; --until-exit clicks on until the game ends.
  HeadlessResult toEnd = RunHeadlessGame(dir.path(), {}, 10);
  EXPECT_EQ(toEnd.exitCode, 0);
  EXPECT_EQ(toEnd.Messages().back(), "ファイルの最後まで読みこみました。終了します。");
}

}  // namespace
}  // namespace orv::test
