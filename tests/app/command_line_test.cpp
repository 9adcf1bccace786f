// The command line: mistakes come back as one line each.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

TEST(CommandLine, OptionsAndMistakes) {
  const Result<CommandLine> fine = ParseCommandLine({"--headless", "--scale", "3", "--until-exit", "9", "game"});
  ASSERT_TRUE(fine);
  EXPECT_EQ(fine->scale, 3);
  EXPECT_EQ(fine->untilExit, 9);
  EXPECT_EQ(fine->gameDir, "game");

  const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
      {{"--scale", "17"}, "--scale takes a whole number from 1 to 16"},
      {{"--scale"}, "--scale takes a whole number from 1 to 16"},
      {{"--until-exit", "3x"}, "--until-exit takes a whole number of clicks"},
      {{"--bogus"}, "unknown option --bogus (see --help)"},
      {{"a", "b"}, "more than one game folder given: b"},
      {{"--record", "frames"}, "--events, --until-exit, --midi-log and --record need --headless"},
  };
  for (const auto& [args, message] : mistakes) {
    const Result<CommandLine> parsed = ParseCommandLine(args);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().kind, ErrorKind::BadUsage);
    EXPECT_EQ(parsed.error().message, message);
  }
}

}  // namespace
}  // namespace orv
