#include "platform/audio/quiet_synth_gate.h"

#include <cmath>

namespace orv {

void QuietSynthGate::Rendered(bool songOpen, int activeVoices, const float* interleaved, size_t frames) {
  bool loud = songOpen || activeVoices > 0;
  for (size_t i = 0; i < 2 * frames && !loud; ++i) loud = !(std::fabs(interleaved[i]) < kQuietLevel);
  if (loud) {
    quiet_ = false;
    quietFrames_ = 0;
    return;
  }
  quietFrames_ = quietFrames_ + uint32_t(frames) < quietFrames_ ? UINT32_MAX : quietFrames_ + uint32_t(frames);
  quiet_ = quietFrames_ >= kQuietFramesNeeded;
}

}  // namespace orv
