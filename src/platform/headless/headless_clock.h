#pragma once
// Virtual time: a wait moves the clock at once, so a test that types a thousand characters at
// 50 ms each runs in microseconds and always the same way.
#include <functional>

#include "platform/clock.h"

namespace orv {

class HeadlessClock final : public Clock {
 public:
  uint32_t NowMs() override { return now_; }
  void WaitMs(uint32_t ms) override { AdvanceTo(now_ + ms); }
  bool ButtonHeld() override { return buttonHeld_; }

  void SetButtonHeld(bool held) { buttonHeld_ = held; }
  // Moves the clock forward (never back); `onAdvance` sees every new time.
  void AdvanceTo(uint32_t ms) {
    if (int32_t(ms - now_) <= 0) return;
    now_ = ms;
    if (onAdvance) onAdvance(now_);
  }
  std::function<void(uint32_t)> onAdvance;

 private:
  uint32_t now_ = 0;
  bool buttonHeld_ = false;
};

}  // namespace orv
