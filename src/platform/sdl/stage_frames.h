#pragma once
// The stage as the window last showed it, and the pacing of the frames that show it: only the
// rows and columns that changed go on to the presenter, and a frame is drawn at most once per
// display refresh (less often on a display that is slow to draw). Times are any millisecond
// clock, handed in.
#include <cstdint>
#include <optional>

#include "platform/image.h"

namespace orv {

class StageFrames {
 public:
  // Takes in what differs from the frame before (a transition step changes a strip, a typed
  // character a cell) and says where; empty when nothing did. A frame of another size is new
  // everywhere.
  Rect Take(const Image& surface);
  const Image& shown() const { return shown_; }

  void SetDisplayRate(int hz);
  // Something new waits to be drawn.
  void MarkPending() { pending_ = true; }
  bool Due(uint32_t nowMs) const { return pending_ && nowMs - lastStartMs_ >= SpacingMs(); }
  // Milliseconds until the waiting frame is due, 0 when due now; nothing when none waits.
  std::optional<uint32_t> DueInMs(uint32_t nowMs) const;
  // A frame was drawn between these times.
  void Drawn(uint32_t startMs, uint32_t endMs);
  uint64_t drawnCount() const { return drawnCount_; }

 private:
  uint32_t SpacingMs() const;

  Image shown_;
  bool pending_ = false;
  uint32_t lastStartMs_ = 0;
  uint32_t intervalMs_ = 17;
  uint32_t costMs_ = 0;  // what drawing a frame has been taking
  uint64_t drawnCount_ = 0;
};

}  // namespace orv
