#include "platform/sdl/desktop_loop.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_host.h"

namespace orv {
namespace {
// With no timer running the loop still wakes now and then, so that work done between events
// (finished openers, the speech service's problems) is never long delayed. Seldom: every wake
// of an idle player costs a little CPU, and a track's end wakes the loop with an event of its own.
constexpr int kIdleWakeMs = 500;

// A close request goes before whatever input is still queued: the person wants out now,
// not after a minute of held-down keys has been played through.
bool QuitPending(SdlHost& host, SdlClock& clock) {
  if (clock.QuitRequested() || host.QuitRequested()) return true;
  SDL_PumpEvents();
  SDL_Event quit;
  return SDL_PeepEvents(&quit, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}
}  // namespace

int RunDesktopLoop(GameEvents& game, SdlHost& host, SdlClock& clock) {
  host.GameReturned();
  while (!game.Closed()) {
    if (QuitPending(host, clock)) {
      host.NoteQuit();
      game.CloseRequested();
      break;
    }
    int timeout = kIdleWakeMs;
    uint32_t due = 0;
    if (game.NextTimerDue(due)) timeout = std::clamp(int32_t(due - clock.NowMs()), int32_t(0), int32_t(kIdleWakeMs));
    if (auto frame = host.FrameDueInMs()) timeout = std::min(timeout, int(*frame));

    SDL_Event event;
    const bool got = timeout > 0 ? SDL_WaitEventTimeout(&event, timeout) != 0 : SDL_PollEvent(&event) != 0;
    if (got) {
      clock.GameBusy();
      host.Dispatch(event, game);
      clock.GameIdle();
      host.GameReturned();
    }
    if (game.Closed()) break;
    host.SyncHeldSkip(game);
    clock.GameBusy();
    game.FireDueTimers(clock.NowMs());
    clock.GameIdle();
    host.GameReturned();
    host.FlushFrame();
  }
  return 0;
}

}  // namespace orv
