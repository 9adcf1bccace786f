#pragma once
// Where music goes: a General MIDI device as the sequencer sees it. The sequencer opens it
// when playback starts, sends short (channel) and long (system-exclusive) messages, resets it
// (all notes off, controllers back to their defaults) and closes it when playback stops.
#include <cstdint>

#include "platform/bytes.h"

namespace orv {

class MidiOutput {
 public:
  virtual ~MidiOutput() = default;

  // False when the device cannot be had; the sequencer then sends nothing until it reopens.
  virtual bool Open() = 0;
  // One channel message; for messages with one data byte (program change, channel
  // pressure) data2 carries no meaning.
  virtual void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) = 0;
  // A whole system-exclusive message, starting with 0xF0.
  virtual void LongMessage(ByteSpan bytes) = 0;
  virtual void Reset() = 0;
  virtual void Close() = 0;
};

// A device that takes everything and does nothing.
class NullMidiOutput final : public MidiOutput {
 public:
  bool Open() override { return true; }
  void ShortMessage(uint8_t, uint8_t, uint8_t) override {}
  void LongMessage(ByteSpan) override {}
  void Reset() override {}
  void Close() override {}
};

// The number of data bytes that follow a status byte in a channel message.
constexpr int ChannelMessageDataBytes(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace orv
