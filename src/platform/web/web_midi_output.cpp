#include "platform/web/web_midi_output.h"

#include "platform/web/page_bridge.h"

namespace orv {

bool WebMidiOutput::Open() {
  orvane_web_midi_state(nowMs_(), "open");
  return true;
}

void WebMidiOutput::ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
  // A second data byte that the message does not have is sent as 0, as the desktop's log
  // writes it.
  orvane_web_midi_short(nowMs_(), status, data1, ChannelMessageDataBytes(status) == 2 ? data2 : 0);
}

void WebMidiOutput::LongMessage(ByteSpan bytes) { orvane_web_midi_long(nowMs_(), bytes.data(), bytes.size()); }

void WebMidiOutput::Reset() { orvane_web_midi_state(nowMs_(), "reset"); }

void WebMidiOutput::Close() { orvane_web_midi_state(nowMs_(), "close"); }

}  // namespace orv
