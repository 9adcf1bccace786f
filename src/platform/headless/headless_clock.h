#pragma once
// Virtual time: a wait moves the clock at once, so a test that types a thousand characters at
// 50 ms each runs in microseconds and always the same way. The local time is the real one
// until a start time is set; from then on it follows the virtual clock.
#include <functional>
#include <optional>

#include "platform/clock.h"

namespace orv {

class HeadlessClock final : public Clock {
 public:
  uint32_t NowMs() override { return now_; }
  void WaitMs(uint32_t ms) override { AdvanceTo(now_ + ms); }
  bool ButtonHeld() override { return buttonHeld_; }
  LocalTime LocalNow() override {
    if (!localStart_) return SystemLocalTime();
    return AddSeconds(*localStart_, int64_t(uint32_t(now_ - localStartMs_) / 1000));
  }

  // The local time is `time` now and moves on with the virtual clock.
  void SetLocalTime(const LocalTime& time) {
    localStart_ = time;
    localStartMs_ = now_;
  }

  void SetButtonHeld(bool held) { buttonHeld_ = held; }
  uint32_t GoOnPresses() override { return goOnPresses_; }
  // A go-on press arrived (it may be delivered later, when the game is idle).
  void NoteGoOnPress() { ++goOnPresses_; }
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
  uint32_t goOnPresses_ = 0;
  std::optional<LocalTime> localStart_;
  uint32_t localStartMs_ = 0;
};

}  // namespace orv
