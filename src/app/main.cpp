// The player's entry: reads the command line and runs the game in a window or headless.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_run.h"
#include "app/headless_run.h"
#include "orvane_version.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const orv::Result<orv::CommandLine> parsed = orv::ParseCommandLine(args);
  if (!parsed) {
    std::fprintf(stderr, "orvane: %s\n", parsed.error().message.c_str());
    return 2;
  }
  const orv::CommandLine& options = *parsed;
  if (options.help) {
    std::fputs(orv::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("orvane %s\n", orv::kPlayerVersion);
    return 0;
  }
  return options.headless ? orv::RunHeadless(options) : orv::RunDesktop(options);
}
