#pragma once
// Input that arrives at a set clock time whether the game is idle or busy then, as a person's
// clicks reach a window while it types or waits: each arrives (a go-on press is counted on
// the clock at once) and is handed over when the game is next idle, in the order it came.
#include <cstdint>
#include <deque>
#include <optional>

#include "platform/headless/event_script.h"
#include "platform/headless/headless_clock.h"

namespace orv {

struct TimedInput {
  uint32_t atMs = 0;
  EventLine line;
};

class TimedInputs {
 public:
  explicit TimedInputs(HeadlessClock& clock) : clock_(clock) {}

  // `line` arrives at clock time `atMs` (at once when that is now or past).
  void Add(uint32_t atMs, EventLine line);
  // The clock has reached `nowMs`: everything due by then has arrived.
  void ClockAt(uint32_t nowMs);
  // The clock time of the next input still to arrive.
  std::optional<uint32_t> NextArrival() const;
  // The earliest input that has arrived and not yet been handed over, taken.
  std::optional<TimedInput> TakeArrived();

  // A left click, Enter or the space bar: presses that mean "go on".
  static bool IsGoOnPress(const EventLine& line);

 private:
  HeadlessClock& clock_;
  std::deque<TimedInput> waiting_;  // by arrival time
  std::deque<TimedInput> arrived_;
};

}  // namespace orv
