#pragma once
// Auto mode: the story goes on by itself once a line or page is complete, after a time that
// grows with what was just typed, so a long line stays up longer than a short one. It is the
// player's own feature; it never takes a choice or answers a dialog (the player decides when
// it may fire), and any input of the player's ends it.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

struct AutoAdvanceDelays {
  uint32_t baseMs = 1500;
  uint32_t perCharacterMs = 60;
  friend bool operator==(const AutoAdvanceDelays&, const AutoAdvanceDelays&) = default;
};

class AutoAdvance {
 public:
  bool on() const { return on_; }
  // Turning it on while the story waits schedules the advance at once, for the text the last
  // step typed; turning it off forgets any advance due.
  void SetOn(bool on, uint32_t nowMs);

  // Text the story typed (Shift-JIS bytes): counted by characters, a two-byte code as one.
  void CountTyped(std::string_view sjisText);
  // The story is waiting for the player again: the advance falls due after the delay for
  // what this step typed.
  void StepEnded(uint32_t nowMs);
  // An advance was made or given up: nothing is due until the next step ends.
  void Cancel() { due_.reset(); }

  std::optional<uint32_t> dueMs() const { return due_; }
  bool Due(uint32_t nowMs) const { return due_ && int32_t(nowMs - *due_) >= 0; }

  uint32_t DelayFor(uint32_t characters) const;

  AutoAdvanceDelays delays;

 private:
  bool on_ = false;
  uint32_t typedThisStep_ = 0;
  uint32_t typedLastStep_ = 0;
  std::optional<uint32_t> due_;
};

// Characters in Shift-JIS text: lead bytes of two-byte codes start a character of their own.
uint32_t CountSjisCharacters(std::string_view sjisText);

}  // namespace orv
