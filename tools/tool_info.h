#pragma once
// What every game-maker's tool answers to --help and --version: on standard output, exit 0,
// as command-line programs do (a usage mistake still goes to standard error with exit 2).
#include <cstdio>
#include <optional>
#include <string_view>

#include "orvane_version.h"

namespace orv {

// The exit code when the command line only asks for help or the version; nothing otherwise.
inline std::optional<int> AnswerHelpOrVersion(int argc, char** argv, const char* name, const char* usage) {
  if (argc != 2) return std::nullopt;
  const std::string_view arg = argv[1];
  if (arg == "--help" || arg == "-h") {
    std::fputs(usage, stdout);
    return 0;
  }
  if (arg == "--version") {
    std::printf("%s %s\n", name, kPlayerVersion);
    return 0;
  }
  return std::nullopt;
}

}  // namespace orv
