#pragma once
// MIDI to an ALSA sequencer port (a hardware synthesizer, or a software one such as a
// running FluidSynth or TiMidity server): a client "Orvane" with one output port, connected
// to the destination named on the command line.
#include <string>

#include <alsa/asoundlib.h>

#include "platform/audio/midi_output.h"

namespace orv {

class AlsaMidiOutput final : public MidiOutput {
 public:
  // `destination` is what aconnect takes: "CLIENT:PORT" by number or client name.
  explicit AlsaMidiOutput(const std::string& destination);
  ~AlsaMidiOutput() override;
  AlsaMidiOutput(const AlsaMidiOutput&) = delete;
  AlsaMidiOutput& operator=(const AlsaMidiOutput&) = delete;

  bool Connected() const { return connected_; }

  bool Open() override { return connected_; }
  void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
  void LongMessage(ByteSpan bytes) override;
  // What a MIDI device's reset does: every note off, every controller back to its default.
  void Reset() override;
  void Close() override {}

 private:
  void Send(snd_seq_event_t& event);

  snd_seq_t* seq_ = nullptr;
  snd_midi_event_t* encoder_ = nullptr;
  int port_ = -1;
  bool connected_ = false;
};

}  // namespace orv
