#pragma once
// Real time for the desktop. A wait blocks the game as the original's busy waits did, but
// keeps the window alive: window events (expose, resize) are handled, input stays queued for
// the game to read after the wait.
#include "platform/clock.h"

namespace orv {

class SdlHost;

class SdlClock final : public Clock {
 public:
  // `host` repaints the window during waits; may be null.
  explicit SdlClock(SdlHost* host = nullptr) : host_(host) {}

  uint32_t NowMs() override;
  void WaitMs(uint32_t ms) override;
  bool ButtonHeld() override;

 private:
  void PumpWindowEvents();
  SdlHost* host_;
};

}  // namespace orv
