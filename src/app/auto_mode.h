#pragma once
// Auto mode as the player switches it: the timing (app/auto_advance.h) together with its menu
// item and the clock, so that the item's tick and the mode never disagree. The player decides
// whether the story may go on when an advance falls due.
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/auto_advance.h"
#include "app/menus.h"
#include "platform/clock.h"

namespace orv {

class AutoMode {
 public:
  AutoMode(Menus& menus, Clock& clock) : menus_(menus), clock_(clock) {}

  bool on() const { return advance_.on(); }
  void SetOn(bool on);
  void Toggle() { SetOn(!on()); }
  // The player did something: auto mode gives way to them.
  void Stop();
  // Off, nothing counted, the delays as they are by default.
  void Reset() { advance_ = AutoAdvance(); }

  const AutoAdvanceDelays& delays() const { return advance_.delays; }
  void SetDelays(const AutoAdvanceDelays& delays) { advance_.delays = delays; }
  std::optional<uint32_t> dueMs() const { return advance_.dueMs(); }

  void CountTyped(std::string_view sjisText) { advance_.CountTyped(sjisText); }
  // The story waits for the player again; a closed window never goes on.
  void StepEnded(bool closed);
  // True once when an advance has fallen due by `nowMs`: it is used up whether or not the
  // story may go on.
  bool TakeDue(uint32_t nowMs);

 private:
  Menus& menus_;
  Clock& clock_;
  AutoAdvance advance_;
};

}  // namespace orv
