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
};

}  // namespace orv
