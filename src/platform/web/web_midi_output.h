#pragma once
// Music in the browser: every MIDI operation goes to the page's SoundFont synthesizer as it
// happens, stamped with the sound's clock, so the page can log it like the desktop's
// --midi-log and hold the channels' set-up until audio may start.
#include <functional>

#include "platform/audio/midi_output.h"

namespace orv {

class WebMidiOutput final : public MidiOutput {
 public:
  explicit WebMidiOutput(std::function<uint32_t()> nowMs) : nowMs_(std::move(nowMs)) {}

  bool Open() override;
  void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
  void LongMessage(ByteSpan bytes) override;
  void Reset() override;
  void Close() override;

 private:
  std::function<uint32_t()> nowMs_;
};

}  // namespace orv
