#include "platform/sdl/desktop_loop.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_host.h"

namespace orv {
namespace {
// With no timer running the loop still wakes now and then, so that work done between events
// (finished openers, sound notifications) is never long delayed.
constexpr int kIdleWakeMs = 100;
}  // namespace

int RunDesktopLoop(GameEvents& game, SdlHost& host, SdlClock& clock) {
  while (!game.Closed()) {
    int timeout = kIdleWakeMs;
    uint32_t due = 0;
    if (game.NextTimerDue(due)) timeout = std::clamp(int32_t(due - clock.NowMs()), int32_t(0), int32_t(kIdleWakeMs));

    SDL_Event event;
    const bool got = timeout > 0 ? SDL_WaitEventTimeout(&event, timeout) != 0 : SDL_PollEvent(&event) != 0;
    if (got) host.Dispatch(event, game);
    if (host.TakePendingClose() && !game.Closed()) game.CloseRequested();
    if (game.Closed()) break;
    game.FireDueTimers(clock.NowMs());
  }
  return 0;
}

}  // namespace orv
