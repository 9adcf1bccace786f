// Presses that come while the player is busy: one finishes the text being typed, none is
// played back later, and no prompt takes a press made before it was drawn. The `after` event
// makes input arrive at a clock time, busy or not, as a person's hand does.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;

int LineCount(const json& state) { return state["history"][0]["lineCount"].get<int>(); }
int Clock(const json& state) { return state["clockMs"].get<int>(); }

// Ten characters typed at 40 ms each on the second line.
GameSpec SlowTyping() {
  GameSpec game{.scenario = {"\"あ\"\\n", "\"かきくけこさしすせそ\"\\n", "\"たち\"\\n"}};
  game.speeds[4] = "40";
  return game;
}

TEST(InputRules, APressWhileTypingFinishesTheLineAndIsSpentOnIt) {
  for (const char* press : {"click", "key enter", "key space"}) {
    SCOPED_TRACE(press);
    TempDir dir;
    WriteGame(dir, SlowTyping());
    HeadlessResult run = RunHeadlessGame(
        dir.path(), {"menu vol5", "dump before.json", std::string("after 100 ") + press, "key enter", "shot hurried.bmp",
                     "dump hurried.json", "after 50 click", "wait 100", "dump next.json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json before = ReadDump(dir, "before.json"), hurried = ReadDump(dir, "hurried.json"),
               next = ReadDump(dir, "next.json");
    // The press came during the third character's pause: the rest of the line appeared when
    // that pause ended, not 280 ms later.
    EXPECT_EQ(Clock(hurried) - Clock(before), 120);
    // ... and it was not kept to advance past the line the moment it was complete.
    EXPECT_EQ(LineCount(hurried), 2);
    // A press made once the line is complete goes on, as always.
    EXPECT_EQ(LineCount(next), 3);

    // The whole line stands on the screen, as when it is typed to its end.
    TempDir plain;
    WriteGame(plain, SlowTyping());
    RunHeadlessGame(plain.path(), {"menu vol5", "key enter", "shot typed.bmp"});
    EXPECT_EQ(dir.Read("hurried.bmp"), plain.Read("typed.bmp"));
  }
}

// A second of flashes (a screen effect, as a transition is) before the next line.
TEST(InputRules, PressesDuringAnEffectAreNotPlayedBackAfterIt) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"あ\"\\n", "~FLASH 255,255,255,2,250", "\"い\"\\n", "\"う\"\\n", "\"え\"\\n"}});
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"after 200 click", "after 400 key enter", "after 600 key space", "after 800 wheel down", "click",
                   "dump waited.json", "wait 2000", "dump later.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json waited = ReadDump(dir, "waited.json"), later = ReadDump(dir, "later.json");
  EXPECT_GE(Clock(waited), 1000);
  EXPECT_EQ(LineCount(waited), 2);
  EXPECT_EQ(LineCount(later), 2);
}

// A line typed slowly, then a choice in the same step.
GameSpec TypedThenChoice() {
  GameSpec game{.scenario = {"~BOXSIZE 0,300,640,480", "~TXTPOS 20,310", "~FONTSIZE 16", "\"あ\"\\n",
                             "\"どっちへ行く？\"\\r", "~SELECT", "{", "北,@north", "南,@south", "}", "*north",
                             "\"北\"\\n", "*south", "\"南\"\\n"}};
  game.speeds[4] = "40";
  return game;
}

TEST(InputRules, AChoiceTakesNoPressMadeBeforeItWasDrawn) {
  TempDir dir;
  WriteGame(dir, TypedThenChoice());
  // Where the second entry stands, from a run that only looks.
  RunHeadlessGame(dir.path(), {"menu vol5", "key enter", "dump shown.json"});
  const json shown = ReadDump(dir, "shown.json");
  ASSERT_EQ(shown["choiceActive"], true);
  const json south = shown["ChoiceList"]["positions"][1];
  const std::string at = std::to_string(south[0].get<int>() + 4) + " " + std::to_string(south[1].get<int>() + 4);

  // Enter, Space and a click over the second entry, all made while the question typed.
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"menu vol5", "after 10 key enter", "after 20 key space", "after 30 click " + at, "key enter",
                   "dump early.json", "after 100 click " + at, "wait 200", "dump chosen.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const json early = ReadDump(dir, "early.json"), chosen = ReadDump(dir, "chosen.json");
  EXPECT_EQ(early["choiceActive"], true);
  // The click made with the choice on the screen takes it.
  EXPECT_EQ(chosen["choiceActive"], false);
  EXPECT_EQ(chosen["history"][0]["lines"][LineCount(chosen) - 1], "南");
}

TEST(InputRules, TheSkipMarkFollowsSkipping) {
  TempDir dir;
  std::vector<std::string> lines;
  for (int i = 0; i < 30; ++i) lines.push_back("\"line " + std::to_string(i) + "\"\\n");
  lines.insert(lines.begin() + 10, "~INPUTBOX \"名前\",\"太郎\",name,0");
  lines.insert(lines.begin(), "&name:\"\"");
  WriteGame(dir, {.scenario = lines});
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"dump before.json", "menu SKIP", "dump on.json", "wait 5000", "dump boxed.json", "menu SKIP",
                   "wait 100", "dump again.json", "key space", "dump off.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadDump(dir, "before.json")["skipMark"], false);
  EXPECT_EQ(ReadDump(dir, "on.json")["skipMark"], true);
  // The name box stopped skipping, and the mark with it.
  const json boxed = ReadDump(dir, "boxed.json");
  EXPECT_EQ(boxed["skipMode"], false);
  EXPECT_EQ(boxed["skipMark"], false);
  EXPECT_EQ(ReadDump(dir, "again.json")["skipMark"], true);
  EXPECT_EQ(ReadDump(dir, "off.json")["skipMark"], false);
}

TEST(InputRules, AfterNeedsATimeAndAnInputEvent) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"あ\"\\n"}});
  for (const char* line : {"after click", "after 10", "after 10 dump x.json", "after -5 click", "after 10 after 5 click"}) {
    HeadlessResult run = RunHeadlessGame(dir.path(), {line});
    EXPECT_EQ(run.exitCode, 2) << line;
    EXPECT_NE(run.err.find("after takes"), std::string::npos) << line << ": " << run.err;
  }
}

}  // namespace
}  // namespace orv::test
