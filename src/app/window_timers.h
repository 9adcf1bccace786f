#pragma once
// The main window's three timers as the form designed them: the skip tick (20 ms), the wait
// indicator's blink (100 ms, or what the game sets) and the one-shot start (10 ms). A timer
// fires from the main loop when due, never during a wait, and one with a zero interval never
// fires, as the form library's did.
#include <array>
#include <cstddef>
#include <cstdint>

namespace orv {

enum class WindowTimerId { Skip = 0, Blink = 1, Start = 2 };

class WindowTimers {
 public:
  // As designed: skip and blink enabled, the start not.
  void Reset() { *this = WindowTimers(); }

  // On or off; switching on counts the interval afresh from `nowMs`.
  void Enable(WindowTimerId id, bool enabled, uint32_t nowMs);
  // A new interval, counted from `nowMs` when the timer runs.
  void SetInterval(WindowTimerId id, uint32_t ms, uint32_t nowMs);
  uint32_t Interval(WindowTimerId id) const { return At(id).intervalMs; }

  // The earliest due time, as seen at `nowMs`, of the running timers for which `counts` says
  // yes; false when none runs.
  template <typename Counts>
  bool NextDue(uint32_t nowMs, uint32_t& dueMs, Counts counts) const {
    bool any = false;
    for (WindowTimerId id : {WindowTimerId::Skip, WindowTimerId::Blink, WindowTimerId::Start}) {
      const Timer& t = At(id);
      if (!t.enabled || t.intervalMs == 0 || !counts(id)) continue;
      if (!any || int32_t(t.dueMs - nowMs) < int32_t(dueMs - nowMs)) dueMs = t.dueMs;
      any = true;
    }
    return any;
  }
  // True when the timer is due at `nowMs`: it is then counted again from `nowMs`, and its
  // handler should run.
  bool TakeIfDue(WindowTimerId id, uint32_t nowMs);

 private:
  struct Timer {
    uint32_t intervalMs = 0;
    bool enabled = false;
    uint32_t dueMs = 0;
  };
  Timer& At(WindowTimerId id) { return timers_[size_t(id)]; }
  const Timer& At(WindowTimerId id) const { return timers_[size_t(id)]; }

  std::array<Timer, 3> timers_{Timer{20, true}, Timer{100, true}, Timer{10, false}};
};

}  // namespace orv
