// IF, GOTO, EXIT, WAIT, NVMODE, SETSPEED, RUN, SETCURSOR, DEBUG and TITLE in scenarios.
#include "logic/logic_play.h"

namespace orv::test {
namespace {

TEST(IfCommand, SkipsExactlyOneLineUnlessTheComparisonHolds) {
  Played p = Play({
      "!hp:3!",
      "!max:3!",
      "~IF hp<5",
      "\"A\"",
      "~IF hp>5",
      "\"B\"",
      "~IF hp=max",
      "\"C\"",
      "~IF hp!3",
      "~GOTO *nowhere",  // skipped whatever it holds
      "~IF hp < 10",
      "\"D\"",
      "~IF hp=-1",  // a negative literal is taken as a name: nothing is skipped
      "\"E\"",
      "~IF hp,5",
      "\"F\"",
      "~IF nope<1",
      "\"G\"",
      "~IF hp=",  // the empty name reads the first free entry, 0
      "\"H\"",
      "~IF hp>",
      "\"I\"\\n",
  });
  EXPECT_EQ(p.HistoryLine(0, 0), "ACDEFGI");
  EXPECT_EQ(p.run.Messages(), (std::vector<std::string>{"右辺の変数が認識できませんでした：-1", "条件式の演算ミスです",
                                                        "左辺の変数が認識できませんでした：nope"}));
}

TEST(GotoCommand, LabelsMatchWholeLinesAndFilesStartAtTheirTop) {
  Played p = Play(
      GameSpec{.scenario = {"~GOTO * end", "\"skipped\"", "*end ", "\"wrong label\"\\n", "*end", "\"after\"",
                            "~GOTO !missing.txt", "\"still here\"", "~GOTO !" + std::string(80, 'p') + ".txt",
                            "~GOTO somewhere", "~GOTO !PART2.TXT", "\"not reached\"\\n"}},
      {}, {{"part2.txt", CrLf({Sjis("\"第二部\"\\n")})}, {std::string(80, 'p') + ".txt", CrLf({"\"long\"\\n"})}});
  EXPECT_EQ(p.HistoryLine(0, 0), "afterstillhere第二部");
  EXPECT_EQ(p.run.Messages(), (std::vector<std::string>{"シナリオファイルの読みこみに失敗しました。",
                                                        "シナリオファイルの読みこみに失敗しました。"}));
  EXPECT_EQ(p.Scene()["scenarioName"], "PART2.TXT");
  EXPECT_EQ(p.Scene()["readPosition"], 0);
}

TEST(GotoCommand, AMissingLabelRunsToTheEndOfTheScenario) {
  Played p = Play({"~GOTO *nowhere", "*elsewhere", "\"never\"\\n"});
  EXPECT_EQ(p.run.Messages(), std::vector<std::string>{"ファイルの最後まで読みこみました。終了します。"});
  EXPECT_TRUE(p.state.is_null());
}

TEST(ExitAndWait, ExitEndsAtOnceAndALoneWaitEndsTheStep) {
  Played exited = Play({"!hp:3!", "~EXIT", "~DEBUG !hp"});
  EXPECT_TRUE(exited.run.Messages().empty());
  EXPECT_TRUE(exited.state.is_null());
  EXPECT_EQ(exited.run.exitCode, 0);

  // A WAIT with its number goes on in its line; one that ends its line ends the step.
  const std::vector<std::string> waiting = {"!hp:3!", "~WAIT", "~DEBUG !hp", "~WAIT 500", "\"x\"\\n"};
  Played before = Play(waiting);
  EXPECT_TRUE(before.run.Messages().empty());
  EXPECT_EQ(before.Scene()["textWaitMs"], 0);
  Played after = Play(waiting, {"click"});
  EXPECT_EQ(after.run.Messages(), std::vector<std::string>{"hp: 3"});
  EXPECT_EQ(after.Scene()["textWaitMs"], 500);
}

TEST(SettingsCommands, NvmodeKeepsLowBytesAndSetspeedClicksOnlyRealLevels) {
  GameSpec game{.scenario = {"~NVMODE 1,1,300", "~SETSPEED 7", "\"x\"\\n", "~SETSPEED 261", "\"y\"\\n"}};
  game.speeds[2] = "50";  // the standard level, however the start-up chose it
  game.speeds[4] = "90";
  Played first = Play(game);
  EXPECT_EQ(first.Scene()["nvMode"], 1);
  EXPECT_EQ(first.Scene()["nvPlace"], 1);
  EXPECT_EQ(first.Scene()["nvInterval"], 44);
  EXPECT_EQ(first.Scene()["messageSpeed"], 7);
  EXPECT_EQ(first.state["messageDelayMs"], 50);
  EXPECT_TRUE(first.state["menu"]["vol3"]["checked"]);

  Played second = Play(game, {"click"});  // 261 keeps its low byte, 5: "遅い"
  EXPECT_EQ(second.Scene()["messageSpeed"], 5);
  EXPECT_EQ(second.state["messageDelayMs"], 90);
  EXPECT_TRUE(second.state["menu"]["vol5"]["checked"]);
  EXPECT_FALSE(second.state["menu"]["vol3"]["checked"]);
}

std::vector<std::string> OpenLines(const HeadlessResult& run) {
  std::vector<std::string> opened;
  for (const auto& line : run.Lines())
    if (line.rfind("open: ", 0) == 0) opened.push_back(line.substr(6));
  return opened;
}

TEST(RunCommand, OpensOnlyGameFilesAndWebAddresses) {
  Played p = Play(GameSpec{.scenario = {"~RUN \"README.TXT\"", "~RUN \"https://example.com/a?b=1\"",
                                        "~RUN \"HTTP://example.com\"", "~RUN \"notepad.exe\"", "~RUN \"/bin/sh\"",
                                        "~RUN \"../outside.txt\"", "~RUN \"docs\"", "~RUN \"file:///etc/passwd\"",
                                        "~RUN \"\"", "\"x\"\\n"}},
                  {}, {{"readme.txt", "hello"}, {"docs/a.txt", "a"}});
  const std::vector<std::string> opened = OpenLines(p.run);
  ASSERT_EQ(opened.size(), 3u) << p.run.out;
  EXPECT_TRUE(opened[0].ends_with("/readme.txt")) << opened[0];
  EXPECT_EQ(opened[1], "https://example.com/a?b=1");
  EXPECT_EQ(opened[2], "HTTP://example.com");
}

TEST(SetcursorCommand, AnUnreadableFileKeepsTheCurrentCursor) {
  const std::string longName = std::string(50, 'c') + ".cur";
  Played p = Play(GameSpec{.scenario = {"~SETCURSOR \"HAND.CUR\"", "~SETCURSOR \"missing.cur\"", "\"x\"\\n",
                                        "~SETCURSOR \"" + longName + "\"", "\"y\"\\n"}},
                  {}, {{"hand.cur", "not checked headless"}, {longName, "cursor"}});
  EXPECT_EQ(p.Scene()["customCursor"], 1);
  EXPECT_EQ(p.Scene()["cursorFile"], "HAND.CUR");
}

TEST(SetcursorCommand, ALongNameIsCutToItsField) {
  const std::string longName = std::string(50, 'c') + ".cur";
  Played p = Play(GameSpec{.scenario = {"~SETCURSOR \"" + longName + "\"", "\"y\"\\n"}}, {}, {{longName, "cursor"}});
  EXPECT_EQ(p.Scene()["cursorFile"], std::string(39, 'c'));
}

TEST(DebugCommand, ShowsNumericAndStringVariables) {
  Played p = Play({"!hp:12!", "&name:\"太郎\"", "~DEBUG !hp", "~DEBUG &name", "~DEBUG !nope", "~DEBUG &nope",
                   "~DEBUG hp", "\"x\"\\n"});
  EXPECT_EQ(p.run.Messages(),
            (std::vector<std::string>{"hp: 12", "name: 太郎", "変数が存在しません。", "変数が存在しません。"}));
}

TEST(TitleCommand, NamesTheWindowWithoutBlanks) {
  Played p = Play({"~TITLE \"第 一\t話\"", "\"x\"\\n", "~title,\"second\"", "\"y\"\\n"});
  EXPECT_EQ(p.state["caption"], "第一話　【Orvane Ver 2.12】");
  EXPECT_EQ(p.Scene()["windowCaption"], "第一話　【Orvane Ver 2.12】");
  EXPECT_NE(p.run.out.find("caption: 第一話　【Orvane Ver 2.12】\n"), std::string::npos);

  Played second = Play({"~TITLE \"第一話\"", "\"x\"\\n", "~title,\"second\"", "\"y\"\\n"}, {"click"});
  EXPECT_EQ(second.state["caption"], "second　【Orvane Ver 2.12】");
}

}  // namespace
}  // namespace orv::test
