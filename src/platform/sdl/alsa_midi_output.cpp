#include "platform/sdl/alsa_midi_output.h"

namespace orv {
namespace {

// ALSA prints its own errors to standard error; a missing sequencer is not worth a message.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

AlsaMidiOutput::AlsaMidiOutput(const std::string& destination) {
  snd_lib_error_set_handler(QuietAlsa);
  if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
    seq_ = nullptr;
    return;
  }
  snd_seq_set_client_name(seq_, "Orvane");
  port_ = snd_seq_create_simple_port(seq_, "Music", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  snd_seq_addr_t address;
  if (port_ < 0 || snd_seq_parse_address(seq_, &address, destination.c_str()) < 0) return;
  if (snd_seq_connect_to(seq_, port_, address.client, address.port) < 0) return;
  if (snd_midi_event_new(4, &encoder_) < 0) return;
  snd_midi_event_no_status(encoder_, 1);
  connected_ = true;
}

AlsaMidiOutput::~AlsaMidiOutput() {
  if (encoder_) snd_midi_event_free(encoder_);
  if (seq_) snd_seq_close(seq_);
}

void AlsaMidiOutput::Send(snd_seq_event_t& event) {
  snd_seq_ev_set_source(&event, port_);
  snd_seq_ev_set_subs(&event);
  snd_seq_ev_set_direct(&event);
  snd_seq_event_output_direct(seq_, &event);
}

void AlsaMidiOutput::ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
  if (!connected_ || status < 0x80 || status >= 0xF0) return;
  const unsigned char bytes[3] = {status, uint8_t(data1 & 0x7F), uint8_t(data2 & 0x7F)};
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_midi_event_reset_encode(encoder_);
  snd_midi_event_encode(encoder_, bytes, ChannelMessageDataBytes(status) + 1, &event);
  if (event.type != SND_SEQ_EVENT_NONE) Send(event);
}

void AlsaMidiOutput::LongMessage(ByteSpan bytes) {
  if (!connected_ || bytes.empty() || bytes.front() != 0xF0) return;
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_seq_ev_set_sysex(&event, unsigned(bytes.size()), const_cast<uint8_t*>(bytes.data()));
  Send(event);
}

void AlsaMidiOutput::Reset() {
  for (uint8_t channel = 0; channel < 16; ++channel) {
    ShortMessage(0xB0 | channel, 64, 0);   // sustain off
    ShortMessage(0xB0 | channel, 123, 0);  // all notes off
    ShortMessage(0xB0 | channel, 121, 0);  // reset all controllers
  }
}

}  // namespace orv
