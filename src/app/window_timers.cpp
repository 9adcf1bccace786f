#include "app/window_timers.h"

namespace orv {

void WindowTimers::Enable(WindowTimerId id, bool enabled, uint32_t nowMs) {
  Timer& t = At(id);
  t.enabled = enabled;
  if (enabled) t.dueMs = nowMs + t.intervalMs;
}

void WindowTimers::SetInterval(WindowTimerId id, uint32_t ms, uint32_t nowMs) {
  Timer& t = At(id);
  t.intervalMs = ms;
  if (t.enabled) t.dueMs = nowMs + ms;
}

bool WindowTimers::TakeIfDue(WindowTimerId id, uint32_t nowMs) {
  Timer& t = At(id);
  if (!t.enabled || t.intervalMs == 0 || int32_t(nowMs - t.dueMs) < 0) return false;
  t.dueMs = nowMs + t.intervalMs;
  return true;
}

}  // namespace orv
