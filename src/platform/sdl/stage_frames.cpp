#include "platform/sdl/stage_frames.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/window_pixels.h"

namespace orv {

Rect StageFrames::Take(const Image& surface) {
  if (shown_.width() != surface.width() || shown_.height() != surface.height()) {
    shown_ = surface;
    return shown_.bounds();
  }
  Rect changed;
  const size_t rowBytes = size_t(surface.width()) * 3;
  for (int y = 0; y < surface.height(); ++y) {
    const uint8_t* from = surface.row(y);
    uint8_t* to = shown_.row(y);
    if (std::memcmp(from, to, rowBytes) == 0) continue;
    size_t first = 0, last = rowBytes;
    while (from[first] == to[first]) ++first;
    while (from[last - 1] == to[last - 1]) --last;
    const int left = int(first / 3), right = int((last + 2) / 3);
    std::memcpy(to + size_t(left) * 3, from + size_t(left) * 3, size_t(right - left) * 3);
    changed = Union(changed, Rect{left, y, right, y + 1});
  }
  return changed;
}

void StageFrames::SetDisplayRate(int hz) { intervalMs_ = uint32_t((1000 + hz - 1) / hz); }

uint32_t StageFrames::SpacingMs() const {
  // A display that takes long to draw a frame gets fewer of them: drawing never takes more
  // than half the time, and the pauses between an effect's steps make up for it.
  return std::max(intervalMs_, 2 * costMs_);
}

std::optional<uint32_t> StageFrames::DueInMs(uint32_t nowMs) const {
  if (!pending_) return std::nullopt;
  const uint32_t since = nowMs - lastStartMs_;
  return since >= SpacingMs() ? 0 : SpacingMs() - since;
}

void StageFrames::Drawn(uint32_t startMs, uint32_t endMs) {
  // Frames keep the display's cadence from their start, whatever drawing them costs.
  lastStartMs_ = startMs;
  // What drawing costs, smoothed so that one slow frame does not halve the rate.
  costMs_ = (3 * costMs_ + (endMs - startMs) + 2) / 4;
  pending_ = false;
  ++drawnCount_;
}

}  // namespace orv
