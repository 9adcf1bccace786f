#pragma once
// Invariant checks: conditions the code itself guarantees, never conditions on outside data
// (those are errors, returned as values). A check that fails is a bug in the player.
//
//   if (!ORV_CHECK(index < size, "slot index within the table")) return;
//
// A release build logs the failure to standard error and hands back false, so the caller can
// take its recovery path and the game goes on. Sanitizer and fuzzing builds (ORVANE_CHECKS_TRAP)
// abort instead, so that the bug is reported where it happened.
namespace orv {

// Logs the failed check; aborts when checks trap. Returns false.
bool CheckFailed(const char* condition, const char* what, const char* file, int line);

// Whether a failed check ends the process in this build.
constexpr bool kChecksTrap =
#ifdef ORVANE_CHECKS_TRAP
    true;
#else
    false;
#endif

}  // namespace orv

// True when `condition` holds; otherwise reports `what` (a string literal) and is false.
#define ORV_CHECK(condition, what) \
  (static_cast<bool>(condition) || ::orv::CheckFailed(#condition, what, __FILE__, __LINE__))
