#include "persist/stage_wipe.h"

namespace orv {

namespace {
constexpr int kBand = 15;
constexpr int kRounds = 32;
}  // namespace

void StageWipe(Image& screen, const Image& source, const std::function<void()>& repaint) {
  for (int s = 0; s < kRounds; ++s) {
    const int top = kBand * s;
    for (int k = 0; k < kBand; ++k) {
      const int bandTop = top + kBand * k;
      // CopyRect clips the rows below the picture.
      CopySameRect(screen, source, Rect{0, bandTop, kStageWidth, bandTop + kBand - k});
    }
    if (repaint) repaint();
  }
}

}  // namespace orv
