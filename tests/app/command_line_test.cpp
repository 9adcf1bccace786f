// The command line: mistakes come back as one line each, and the version the player reports
// is the one the build was made with.
#include "app/command_line.h"

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os.h"
#include "support/test_support.h"

#include "orvane_version.h"

namespace orv {
namespace {

TEST(CommandLine, OptionsAndMistakes) {
  const Result<CommandLine> fine = ParseCommandLine({"--headless", "--scale", "3", "--until-exit", "9", "game"});
  ASSERT_TRUE(fine);
  EXPECT_EQ(fine->scale, 3);
  EXPECT_EQ(fine->untilExit, 9);
  EXPECT_EQ(fine->gameDir, "game");

  const Result<CommandLine> saving = ParseCommandLine(
      {"--headless", "--save-dir", "saves", "--date", "2024-05-06 07:08:09", "game", "--cd-image", "disc/game.cue"});
  ASSERT_TRUE(saving);
  EXPECT_EQ(saving->saveDir, "saves");
  EXPECT_EQ(saving->cdImage, "disc/game.cue");
  EXPECT_EQ(ParseCommandLine({"--cd-image", "game.cue"})->cdImage, "game.cue");  // the desktop's too
  EXPECT_EQ(saving->date, (LocalTime{2024, 5, 6, 7, 8, 9}));

  const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
      {{"--scale", "17"}, "--scale takes a whole number from 1 to 16"},
      {{"--scale"}, "--scale takes a whole number from 1 to 16"},
      {{"--until-exit", "3x"}, "--until-exit takes a whole number of clicks"},
      {{"--bogus"}, "unknown option --bogus (see --help)"},
      {{"a", "b"}, "more than one game folder given: b"},
      {{"--record", "frames"},
       "--events, --until-exit, --midi-log, --record, --max-step-lines and --date need --headless"},
      {{"--date", "2024-05-06 07:08:09"},
       "--events, --until-exit, --midi-log, --record, --max-step-lines and --date need --headless"},
      {{"--headless", "--date", "2024-02-30 00:00:00"}, "--date takes a local time as \"YYYY-MM-DD HH:MM:SS\""},
      {{"--save-dir"}, "--save-dir takes a folder name"},
      {{"--cd-image"}, "--cd-image takes a cue sheet's file name"},
      {{"--cd-image", ""}, "--cd-image takes a cue sheet's file name"},
  };
  for (const auto& [args, message] : mistakes) {
    const Result<CommandLine> parsed = ParseCommandLine(args);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().kind, ErrorKind::BadUsage);
    EXPECT_EQ(parsed.error().message, message);
  }
}

TEST(CommandLine, VersionIsTheBuildsOwn) {
  const std::string version = std::string("orvane ") + kPlayerVersion;
  EXPECT_EQ(UsageText().rfind(version + "\n", 0), 0u) << UsageText();
  // The help fits a terminal of 80 columns (counted in characters: the text is ASCII).
  std::istringstream lines(UsageText());
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 79u) << line;

  std::FILE* player = popen(ORVANE_BINARY " --version", "r");
  ASSERT_NE(player, nullptr);
  std::string printed;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, player)) printed += buffer;
  EXPECT_EQ(pclose(player), 0);
  EXPECT_EQ(printed, version + "\n");
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// What a program prints on standard output, and how it ends.
std::pair<std::string, int> Output(const std::string& command) {
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {"", -1};
  std::string printed;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) printed += buffer;
  return {printed, pclose(pipe)};
}

// Without a display the box cannot show; the line and the exit code still say it.
TEST(CommandLine, ASecondPlayerOnTheSameGameSaysSoAndFails) {
  test::TempDir dir;
  test::WriteGame(dir, {.scenario = {"\"a\"\\n"}});
  const SingleInstanceLock first = SingleInstanceLock::ForGameFolder(dir.path());
  ASSERT_TRUE(first.MayRun());
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 XDG_CONFIG_HOME=" +
                              dir.path().string() + " " ORVANE_BINARY " " + dir.path().string() + " 2>&1";
  const auto [printed, status] = Output(command);
  EXPECT_NE(printed.find("orvane: this game is already running"), std::string::npos) << printed;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

TEST(CommandLine, TheToolsAnswerHelpAndVersionOnStandardOutput) {
  const std::filesystem::path folder = std::filesystem::path(ORVANE_PACK_TOOL).parent_path();
  for (const char* tool : {"orvpack", "orvarc1", "orvdemo"}) {
    const std::string program = (folder / tool).string();
    const auto [help, helpStatus] = Output(program + " --help 2>/dev/null");
    EXPECT_EQ(helpStatus, 0) << tool;
    EXPECT_EQ(help.rfind(std::string("usage: ") + tool, 0), 0u) << tool << ": " << help;
    const auto [version, versionStatus] = Output(program + " --version 2>/dev/null");
    EXPECT_EQ(versionStatus, 0) << tool;
    EXPECT_EQ(version, std::string(tool) + " " + kPlayerVersion + "\n");
    // A mistake is still one, told on standard error.
    const auto [wrong, wrongStatus] = Output(program + " --bogus 2>/dev/null");
    EXPECT_EQ(wrong, "") << tool;
    EXPECT_NE(wrongStatus, 0) << tool;
  }
}

}  // namespace
}  // namespace orv
