#include "app/auto_mode.h"

namespace orv {

void AutoMode::SetOn(bool on) {
  advance_.SetOn(on, clock_.NowMs());
  menus_.SetChecked("AutoMode", on);
}

void AutoMode::Stop() {
  if (on()) SetOn(false);
}

void AutoMode::StepEnded(bool closed) {
  if (closed)
    advance_.Cancel();
  else
    advance_.StepEnded(clock_.NowMs());
}

bool AutoMode::TakeDue(uint32_t nowMs) {
  if (!advance_.Due(nowMs)) return false;
  advance_.Cancel();
  return true;
}

}  // namespace orv
