#pragma once
// The desktop backend's entry: runs a game in a real window with real sound.
#include "app/command_line.h"

namespace orv {

// Returns the process exit code.
int RunDesktop(const CommandLine& options);

}  // namespace orv
