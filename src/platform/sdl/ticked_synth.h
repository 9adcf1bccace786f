#pragma once
// Synthesizer output with the MIDI ticker woven in: the stream is rendered in slices that
// end on its millisecond boundaries, and the ticker runs at each boundary, so that the
// events it sends start sounding right there. The timing is that of the samples, not of
// any clock: the same song renders the same samples every time.
#include <functional>

#include "platform/sdl/fluidsynth_output.h"

namespace orv {

class TickedSynth {
 public:
  TickedSynth(FluidSynthOutput& synth, int sampleRate) : synth_(synth), sampleRate_(sampleRate) {}

  int ActiveVoices() const { return synth_.ActiveVoices(); }

  // Renders `frames` interleaved stereo frames; `tick` (if any) runs once per millisecond
  // of them.
  void Render(float* interleaved, int frames, const std::function<void()>& tick) {
    while (frames > 0) {
      const int untilTick = (sampleRate_ - phase_ + 999) / 1000;
      const int slice = untilTick < frames ? untilTick : frames;
      synth_.Render(interleaved, slice);
      interleaved += 2 * slice;
      frames -= slice;
      phase_ += slice * 1000;
      if (phase_ >= sampleRate_) {
        phase_ -= sampleRate_;
        if (tick) tick();
      }
    }
  }

 private:
  FluidSynthOutput& synth_;
  int sampleRate_;
  int phase_ = 0;  // 1000 per rendered frame; a millisecond is `sampleRate_` of it
};

}  // namespace orv
