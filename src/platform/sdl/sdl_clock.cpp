#include "platform/sdl/sdl_clock.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_host.h"

namespace orv {
namespace {
// While input waits in the queue for the game (a wait does not take it), the wait cannot
// sleep until the next event, which is already there: it naps this long at a time, short
// enough that a 1 ms wait is not stretched much, long enough not to spin.
constexpr uint32_t kWaitSliceMs = 2;

// Events other than the window's own are waiting for the game.
bool InputQueued() { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0; }

bool Reached(uint32_t now, uint32_t deadline) { return int32_t(now - deadline) >= 0; }

// The left button, Enter or the space bar pressed anew (not a held key's repeat, nor Alt+Enter,
// which switches full screen).
bool IsGoOnPress(const SDL_Event& event) {
  if (event.type == SDL_MOUSEBUTTONDOWN) return event.button.button == SDL_BUTTON_LEFT;
  if (event.type != SDL_KEYDOWN || event.key.repeat || (event.key.keysym.mod & KMOD_ALT)) return false;
  const SDL_Keycode key = event.key.keysym.sym;
  return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE;
}
}  // namespace

uint32_t SdlClock::NowMs() { return SDL_GetTicks(); }

void SdlClock::PumpWindowEvents() {
  SDL_PumpEvents();
  SDL_Event event;
  // Only the window's own events are taken; mouse, keys and quit stay queued for the game.
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT) > 0) {
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) quit_ = true;
    if (host_) host_->HandleWindowEvent(event);
  }
  if (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) quit_ = true;
  if (host_) host_->FlushFrame();
}

bool SdlClock::QuitRequested() { return quit_ || (host_ && host_->QuitRequested()); }

void SdlClock::WaitMs(uint32_t ms) {
  const uint32_t now = NowMs();
  if (ms == 0 || QuitRequested()) {
    PumpWindowEvents();
    return;
  }
  // A wait right after the previous one keeps the previous one's rhythm.
  const bool onRhythm = haveDeadline_ && Reached(now, lastDeadline_) && now - lastDeadline_ <= kRhythmSlackMs;
  const uint32_t deadline = (onRhythm ? lastDeadline_ : now) + ms;
  lastDeadline_ = deadline;
  haveDeadline_ = true;
  if (noteShown_ && host_) host_->ShowBusyNote(false);
  noteShown_ = false;
  for (;;) {
    PumpWindowEvents();
    if (QuitRequested()) break;
    const uint32_t current = NowMs();
    if (Reached(current, deadline)) break;
    uint32_t sleep = deadline - current;
    if (host_)
      if (const auto frame = host_->FrameDueInMs()) sleep = std::min(sleep, std::max<uint32_t>(*frame, 1));
    // Otherwise asleep until the deadline, a frame that falls due, or the window's next event
    // (an expose, a close): typing a character a tick costs a wake-up a tick, not twenty-five.
    if (InputQueued()) {
      SDL_Delay(std::min(sleep, kWaitSliceMs));
    } else {
      SDL_WaitEventTimeout(nullptr, int(sleep));
    }
  }
  runningSince_ = NowMs();
}

uint32_t SdlClock::GoOnPresses() {
  SDL_PumpEvents();
  // The presses stay queued for the game; each is counted once, by its arrival time.
  SDL_Event events[64];
  const int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_MOUSEBUTTONDOWN);
  for (int i = 0; i < count; ++i) {
    if (!IsGoOnPress(events[i])) continue;
    const uint32_t at = events[i].common.timestamp;
    if (anyPressCounted_ && int32_t(at - lastPressCountedMs_) <= 0) continue;
    anyPressCounted_ = true;
    lastPressCountedMs_ = at;
    ++goOnPresses_;
  }
  return goOnPresses_;
}

bool SdlClock::ButtonHeld() {
  SDL_PumpEvents();  // the button state follows the events SDL has read
  return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
}

void SdlClock::KeepAlive() {
  PumpWindowEvents();
  StepRunsOn();
}

void SdlClock::GameBusy() {
  busy_ = true;
  runningSince_ = NowMs();
}

void SdlClock::GameIdle() {
  busy_ = false;
  if (noteShown_ && host_) host_->ShowBusyNote(false);
  noteShown_ = false;
}

void SdlClock::StepRunsOn() {
  if (!busy_ || !host_) return;
  if (!noteShown_ && NowMs() - runningSince_ >= kBusyNoteMs) {
    noteShown_ = true;
    host_->ShowBusyNote(true);
  }
  if (noteShown_) CheckEscapeWhileBusy();
}

void SdlClock::CheckEscapeWhileBusy() {
  SDL_Event events[64];
  const int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
  for (int i = 0; i < count; ++i)
    if (events[i].key.keysym.sym == SDLK_ESCAPE) quit_ = true;
}

}  // namespace orv
