// The player's entry: reads the command line and runs the game in a window or headless.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless_run.h"
#include "app/desktop_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const orv::CommandLineResult parsed = orv::ParseCommandLine(args);
  if (!parsed.options) {
    std::fprintf(stderr, "orvane: %s\n", parsed.error.c_str());
    return 2;
  }
  const orv::CommandLine& options = *parsed.options;
  if (options.help) {
    std::fputs(orv::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("orvane " ORVANE_VERSION);
    return 0;
  }
  return options.headless ? orv::RunHeadless(options) : orv::RunDesktop(options);
}
