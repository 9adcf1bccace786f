// The text interpreter through the headless player: what each control does to the text, the
// history, the cursor and the flow of a step.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;

// Runs the scenario with the events and returns the dump written at the end.
json RunAndDump(const TempDir& dir, std::vector<std::string> events, HeadlessResult* result = nullptr) {
  events.push_back("dump state.json");
  HeadlessResult run = RunHeadlessGame(dir.path(), events);
  if (result) *result = run;
  return ReadDump(dir, "state.json");
}

TEST(Interpreter, QuotedTextControlsAndComments) {
  TempDir dir;
  WriteGame(dir, {.scenario = {
                      "no quotes here",               // shows nothing, the step goes on
                      "\"あ い\"\\n",                 // blanks inside quotes are dropped
                      "\"前\"/ \"後\"",               // a comment ends the line
                      "\"改行\"\\r\"無視\"",          // \r: new line, rest ignored
                      "\"ページ\"\\p",
                      "\"次\"\\n",
                  }});
  HeadlessResult run;
  json first = RunAndDump(dir, {}, &run);  // the start-up click runs the first step only
  EXPECT_EQ(first["history"][0]["lines"][0], "あい");
  EXPECT_EQ(first["pageEnded"], false);

  json second = RunAndDump(dir, {"click"});
  auto lines = second["history"][0]["lines"];
  ASSERT_EQ(second["history"][0]["lineCount"], 2);
  EXPECT_EQ(lines[1], "前改行");
  EXPECT_EQ(lines[2], "ページ");
  EXPECT_EQ(second["pageEnded"], true);
  EXPECT_EQ(second["pageIndex"], 1);

  // The advance after an end of page clears the box, resets the cursor and takes a save point
  // at the start of the new page.
  json third = RunAndDump(dir, {"click", "click"});
  EXPECT_EQ(third["pageEnded"], false);
  EXPECT_EQ(third["history"][1]["lines"][0], "次");
  EXPECT_GT(third["SavePointState"]["readPosition"].get<int>(), 0);
  EXPECT_LT(third["SavePointState"]["readPosition"].get<int>(), third["scriptOffset"].get<int>());
}

TEST(Interpreter, PageModeRunsThroughLineEnds) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"一\"\\n", "\"二\"\\n", "\"三\"\\p", "\"四\"\\n"}});
  // Page mode is switched on before the first advance by the answer-free menu event order:
  // the start-up click has already run, so the second advance shows the effect.
  json state = RunAndDump(dir, {"menu P1", "click"});
  EXPECT_EQ(state["menu"]["P1"]["checked"], true);
  EXPECT_EQ(state["history"][0]["lineCount"], 2);
  EXPECT_EQ(state["pageEnded"], true);
}

TEST(Interpreter, CommandKeywordsAndTheirFlow) {
  TempDir dir;
  WriteGame(dir, {.scenario = {
                      "~fontsize 30",
                      "~FONT COLOR",
                      "~TXTPOS,12,34",
                      "\"x\"~",
                  }});
  HeadlessResult run;
  json state = RunAndDump(dir, {}, &run);
  EXPECT_EQ(state["SceneState"]["fontSize"], 30);
  EXPECT_EQ(state["SceneState"]["textX"], 12);
  EXPECT_EQ(state["SceneState"]["textY"], 34);
  EXPECT_EQ(run.Messages(), (std::vector<std::string>{"指定されたスクリプトは存在しません：　FONT",
                                                      "指定されたスクリプトは存在しません：　"}));
  // "~" at the end of the line read an empty keyword and ended the step there.
  EXPECT_EQ(state["history"][0]["lines"][0], "x");
}

TEST(Interpreter, EndOfScenarioAndOddLines) {
  TempDir dir;
  WriteGame(dir, {});
  // No final CR LF, and a line longer than the reader's 255 bytes: cut, and the next line is
  // still a line of its own.
  std::string longLine = "\"" + std::string(300, 'a') + "\"\\n";
  dir.Write("story.txt", Sjis(longLine + "\r\n\"last\"\\n"));
  HeadlessResult run;
  json state = RunAndDump(dir, {"click"}, &run);
  // The cut line lost its closing quote and its \n: the step ended there, and the next
  // line's text joins the same history line.
  EXPECT_EQ(state["history"][0]["lines"][0], std::string(254, 'a') + "last");
  run = RunHeadlessGame(dir.path(), {"click", "click"});
  EXPECT_EQ(run.Messages(), std::vector<std::string>{"ファイルの最後まで読みこみました。終了します。"});
}

TEST(Interpreter, TypingWaitsPerCharacterUnlessCutShort) {
  TempDir dir;
  GameSpec game{.scenario = {"\"あいう\"\\n", "\"えお\"\\n", "\"かき\"\\n"}};
  game.speeds[4] = "40";
  WriteGame(dir, game);
  // vol5 ("遅い") takes line 5 of init.def: 40 ms after each of the two characters.
  json before = RunAndDump(dir, {"menu vol5"});
  EXPECT_EQ(before["messageDelayMs"], 40);
  EXPECT_EQ(before["menu"]["vol5"]["checked"], true);
  EXPECT_EQ(before["menu"]["vol3"]["checked"], false);
  json typed = RunAndDump(dir, {"menu vol5", "key enter"});
  EXPECT_EQ(typed["clockMs"].get<int>() - before["clockMs"].get<int>(), 80);
  // With the left button held the rest of a text appears at once.
  json held = RunAndDump(dir, {"menu vol5", "press", "key enter", "release"});
  EXPECT_EQ(held["clockMs"], before["clockMs"]);
  EXPECT_EQ(held["history"][0]["lines"][1], "えお");
}

TEST(Interpreter, MissingFirstScenarioIsReportedAndEndsTheGame) {
  TempDir dir;
  WriteGame(dir, {.scenarioFile = "none.txt"});
  std::filesystem::remove(dir.path() / "none.txt");
  HeadlessResult run = RunHeadlessGame(dir.path(), {"click"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.Messages(), std::vector<std::string>{"シナリオファイルの読みこみに失敗しました。"});
  // One line for the box headless; the file's name and a line in English reach standard error.
  EXPECT_NE(run.err.find("the first scenario none.txt could not be read"), std::string::npos) << run.err;

  TempDir empty;
  run = RunHeadlessGame(empty.path(), {});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("init.def"), std::string::npos);
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

TEST(Interpreter, AStepLimitEndsAnEndlessLoopOnlyWhenTheRunAsksForOne) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"*top", "!n:1!", "~GOTO *top"}});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"click"}, 0, {"--max-step-lines", "1000"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.Messages(), std::vector<std::string>{"スクリプトが終わらないくり返しに入ったため、終了します。"});
}

// A loop through a switch to its own file: the text is not read again each time round.
TEST(Interpreter, ALoopThroughItsOwnFileRunsToItsEnd) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"!n:0!", "~GOTO !loop.txt"}});
  std::vector<std::string> loop = {"~MATH n=n+1", "~IF n<10000", "~GOTO !loop.txt", "'n'\\n", "~EXIT"};
  for (int i = 0; i < 20000; ++i) loop.push_back("; filler " + std::to_string(i));
  dir.Write("loop.txt", CrLf(loop));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump state.json"}, 0, {"--max-step-lines", "100000"});
  EXPECT_TRUE(run.Messages().empty()) << run.out;
  EXPECT_EQ(ReadDump(dir, "state.json")["history"][0]["lines"][0], "10000");
}

// Long loops that end are the script's business: label searches cost nothing against the
// limit, and neither a far label nor a long delay loop ends the game.
TEST(Interpreter, LongLoopsRunToTheirEnd) {
  TempDir dir;
  std::vector<std::string> lines;
  for (int i = 0; i < 20000; ++i) lines.push_back("; filler " + std::to_string(i));
  lines.insert(lines.end(), {"!n:0!", "*loop", "~MATH n=n+1", "~IF n<250", "~GOTO *loop", "\"done\"'n'\\n",
                             "!d:0!", "*delay", "~MATH d=d+1", "~IF d<20000", "~GOTO *delay", "'d'\\n", "~EXIT"});
  WriteGame(dir, {.scenario = lines});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"click", "dump state.json"}, 0, {"--max-step-lines", "200000"});
  EXPECT_TRUE(run.Messages().empty()) << run.out;
  const auto state = ReadDump(dir, "state.json");
  ASSERT_FALSE(state.is_null());
  EXPECT_EQ(state["history"][0]["lines"][0], "done250");
  EXPECT_EQ(state["history"][0]["lines"][1], "20000");
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

TEST(Interpreter, AScenarioNameLongerThanItsFieldIsCutWithoutTouchingTheNextField) {
  TempDir dir;
  const std::string longName = std::string(100, 's') + ".txt";
  WriteGame(dir, {.scenario = {"\"played\"\\n"}, .scenarioFile = longName});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump d.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json d = ReadDump(dir, "d.json");
  EXPECT_EQ(d["history"][0]["lines"][0], "played");
  EXPECT_EQ(d["SceneState"]["scenarioName"], std::string(79, 's'));
  EXPECT_EQ(d["SceneState"]["backgroundName"], "");
}

}  // namespace
}  // namespace orv::test
