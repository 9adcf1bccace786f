#pragma once
// When a software synthesizer may stop rendering: its song has stopped, its voices have ended
// and what it still puts out (the reverb's tail) has stayed below one step of 16-bit sound for
// a while. Stopping then, and starting again with the next song, is inaudible: no tail is cut
// and the next song starts from silence. Rendering silence instead costs a steady share of a
// core for as long as the game runs.
#include <cstddef>
#include <cstdint>

namespace orv {

class QuietSynthGate {
 public:
  // The output must stay below this (full scale 1.0) ...
  static constexpr float kQuietLevel = 1.0f / 32768.0f;
  // ... for this many frames in a row.
  static constexpr uint32_t kQuietFramesNeeded = 4410;

  // Before a block: whether to render it.
  bool ShouldRender(bool songOpen, int activeVoices) const { return songOpen || activeVoices > 0 || !quiet_; }
  // After a block was rendered: `frames` interleaved stereo frames.
  void Rendered(bool songOpen, int activeVoices, const float* interleaved, size_t frames);
  bool Quiet() const { return quiet_; }

 private:
  bool quiet_ = false;
  uint32_t quietFrames_ = 0;
};

}  // namespace orv
