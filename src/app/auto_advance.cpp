#include "app/auto_advance.h"

#include <algorithm>

namespace orv {

namespace {
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// A delay nobody would wait for is a mistake in the settings, not a wish: at most a minute.
constexpr uint64_t kLongestDelayMs = 60000;
}  // namespace

uint32_t CountSjisCharacters(std::string_view sjisText) {
  uint32_t count = 0;
  for (size_t i = 0; i < sjisText.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(sjisText[i])) && i + 1 < sjisText.size()) ++i;
    ++count;
  }
  return count;
}

uint32_t AutoAdvance::DelayFor(uint32_t characters) const {
  const uint64_t delay = uint64_t(delays.baseMs) + uint64_t(delays.perCharacterMs) * characters;
  return uint32_t(std::min(delay, kLongestDelayMs));
}

void AutoAdvance::SetOn(bool on, uint32_t nowMs) {
  on_ = on;
  due_.reset();
  if (on_) due_ = nowMs + DelayFor(typedLastStep_);
}

void AutoAdvance::CountTyped(std::string_view sjisText) { typedThisStep_ += CountSjisCharacters(sjisText); }

void AutoAdvance::StepEnded(uint32_t nowMs) {
  typedLastStep_ = typedThisStep_;
  typedThisStep_ = 0;
  if (on_) due_ = nowMs + DelayFor(typedLastStep_);
}

}  // namespace orv
