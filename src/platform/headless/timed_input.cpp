#include "platform/headless/timed_input.h"

#include <algorithm>

namespace orv {

void TimedInputs::Add(uint32_t atMs, EventLine line) {
  // After every input due no later than this one, so that equal times keep the lines' order.
  const auto at = std::find_if(waiting_.begin(), waiting_.end(),
                               [&](const TimedInput& input) { return int32_t(input.atMs - atMs) > 0; });
  waiting_.insert(at, TimedInput{atMs, std::move(line)});
  ClockAt(clock_.NowMs());
}

void TimedInputs::ClockAt(uint32_t nowMs) {
  while (!waiting_.empty() && int32_t(waiting_.front().atMs - nowMs) <= 0) {
    if (IsGoOnPress(waiting_.front().line)) clock_.NoteGoOnPress();
    arrived_.push_back(std::move(waiting_.front()));
    waiting_.pop_front();
  }
}

std::optional<uint32_t> TimedInputs::NextArrival() const {
  if (waiting_.empty()) return std::nullopt;
  return waiting_.front().atMs;
}

std::optional<TimedInput> TimedInputs::TakeArrived() {
  if (arrived_.empty()) return std::nullopt;
  TimedInput input = std::move(arrived_.front());
  arrived_.pop_front();
  return input;
}

bool TimedInputs::IsGoOnPress(const EventLine& line) {
  if (line.verb == "click") return true;
  return line.verb == "key" && line.args.size() == 1 && (line.args[0] == "enter" || line.args[0] == "space");
}

}  // namespace orv
