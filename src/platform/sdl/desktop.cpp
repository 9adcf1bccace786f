#include "platform/sdl/desktop.h"

namespace orv {

int RunDesktop(const CommandLine&) { return 0; }

}  // namespace orv
