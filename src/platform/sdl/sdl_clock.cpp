#include "platform/sdl/sdl_clock.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_host.h"

namespace orv {
namespace {
// Short enough that a 1 ms wait is not stretched much, long enough not to spin.
constexpr uint32_t kWaitSliceMs = 2;
}  // namespace

uint32_t SdlClock::NowMs() { return SDL_GetTicks(); }

void SdlClock::PumpWindowEvents() {
  SDL_PumpEvents();
  SDL_Event event;
  // Only the window's own events are taken; mouse, keys and quit stay queued for the game.
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT) > 0)
    if (host_) host_->HandleWindowEvent(event);
}

void SdlClock::WaitMs(uint32_t ms) {
  const uint32_t start = NowMs();
  for (;;) {
    PumpWindowEvents();
    const uint32_t elapsed = NowMs() - start;
    if (elapsed >= ms) return;
    SDL_Delay(std::min(ms - elapsed, kWaitSliceMs));
  }
}

bool SdlClock::ButtonHeld() {
  SDL_PumpEvents();  // the button state follows the events SDL has read
  return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
}

}  // namespace orv
