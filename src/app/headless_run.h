#pragma once
// Runs a game with no window and no sound device, driven by an events file.
#include <cstdio>

#include "app/command_line.h"

namespace orv {

// Returns the exit code: 0 when the game closed itself or the events ran out, 2 for an
// unusable game folder or events file.
int RunHeadless(const CommandLine& options, std::FILE* out = stdout, std::FILE* err = stderr);

}  // namespace orv
