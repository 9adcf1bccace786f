// Start-up and the end of the scenario, through the headless player.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace orv::test {
namespace {

TEST(Startup, PlaysTextAndEndsWithTheEndOfScenarioMessage) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"こんにちは\"\\n", "\"さようなら\"\\n"}});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"click", "click"});
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.Messages(), std::vector<std::string>{"ファイルの最後まで読みこみました。終了します。"});
  EXPECT_EQ(run.Lines().front(), "caption: Orvane Ver 2.12");
}

// A game that cannot start says why under the kit's words: what is wrong with init.def, else
// which scenario could not be read; the box stays one line headless and the run fails.
TEST(Startup, AGameThatCannotStartSaysWhy) {
  const std::string kFailed = "シナリオファイルの読みこみに失敗しました。";
  TempDir lf;
  lf.Write("init.def", "0\n0\n0\n0\n0\nstory.txt\np.dat\nw.dat\nm.dat\n");
  lf.Write("story.txt", "\"a\"\\n\r\n");
  HeadlessResult run = RunHeadlessGame(lf.path(), {});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.Messages(), std::vector<std::string>{kFailed});
  EXPECT_NE(run.err.find("LF alone"), std::string::npos) << run.err;

  TempDir big;
  big.Write("init.def", std::string(size_t(1) << 20, '0') + "x");
  run = RunHeadlessGame(big.path(), {});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("megabyte"), std::string::npos) << run.err;

  TempDir missing;
  WriteGame(missing, {.scenario = {"\"a\"\\n"}, .scenarioFile = "gone.txt"});
  std::filesystem::remove(missing.path() / "gone.txt");
  run = RunHeadlessGame(missing.path(), {});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.Messages(), std::vector<std::string>{kFailed});
  EXPECT_NE(run.err.find("gone.txt"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace orv::test
