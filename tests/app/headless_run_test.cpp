// The headless run's own promises: bad event lines and output that cannot be written end the
// run with a reason and exit code 2, never silently.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace orv::test {
namespace {

TEST(HeadlessRun, AbsurdNumbersInEventsAreRejectedWithTheirLine) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  for (const std::string event : {"wait 99999999999999", "wait -5", "wait 10ms", "move 3 9999999999", "click 1"}) {
    HeadlessResult run = RunHeadlessGame(dir.path(), {"wait 10", event});
    EXPECT_EQ(run.exitCode, 2) << event;
    EXPECT_NE(run.err.find("events line 2"), std::string::npos) << event << ": " << run.err;
  }
  EXPECT_EQ(RunHeadlessGame(dir.path(), {"wait 86400000", "move -20 700"}).exitCode, 0);
}

TEST(HeadlessRun, OutputThatCannotBeWrittenFailsTheRun) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});

  HeadlessResult log = RunHeadlessGame(dir.path(), {}, 0, {"--midi-log", (dir.path() / "no/such/dir/m.log").string()});
  EXPECT_EQ(log.exitCode, 2);
  EXPECT_NE(log.err.find("MIDI log"), std::string::npos) << log.err;

  // A frame whose name is taken by a folder cannot be written: the run stops recording and
  // says so, and the frames written before it are listed.
  std::filesystem::create_directories(dir.path() / "frames" / "000002.bmp");
  HeadlessResult record = RunHeadlessGame(dir.path(), {"click"}, 0, {"--record", "frames"});
  EXPECT_EQ(record.exitCode, 2);
  EXPECT_NE(record.err.find("000002.bmp"), std::string::npos) << record.err;
  EXPECT_EQ(dir.Read("frames/frames.txt").substr(0, 7), "000001 ");
  EXPECT_EQ(dir.Read("frames/frames.txt").find("000002"), std::string::npos);
}

}  // namespace
}  // namespace orv::test
