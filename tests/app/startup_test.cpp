// Start-up and the end of the scenario, through the headless player.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orv::test
