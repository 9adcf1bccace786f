#pragma once
// The main loop of the desktop: waits for input or the next due timer, hands input to the
// game through the host, fires timers, and ends when the game has closed.
#include "platform/game_events.h"

namespace orv {

class SdlHost;
class SdlClock;

// Returns the process exit code (0).
int RunDesktopLoop(GameEvents& game, SdlHost& host, SdlClock& clock);

}  // namespace orv
