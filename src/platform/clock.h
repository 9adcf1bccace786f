#pragma once
// Time as the game sees it. The desktop clock is real time; the headless clock is virtual and
// moves only when the game waits, so tests are fast and deterministic.
#include <cstdint>

namespace orv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some fixed start, wrapping like a 32-bit tick count.
  virtual uint32_t NowMs() = 0;
  // Blocks the game for ms milliseconds. Input stays queued for the game; the window stays
  // alive. 0 returns at once.
  virtual void WaitMs(uint32_t ms) = 0;
  // The left mouse button is down at this moment.
  virtual bool ButtonHeld() = 0;
  // Lets the window breathe during long work that never waits: window events are handled and
  // input stays queued, as in a wait.
  virtual void KeepAlive() {}
  // The person asked to end the program (the close button, a signal) while the game was busy;
  // waits then return at once.
  virtual bool QuitRequested() { return false; }
};

}  // namespace orv
