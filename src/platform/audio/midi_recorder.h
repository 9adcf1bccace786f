#pragma once
// A MIDI output that writes what it is asked to do, one line per operation, each starting
// with the clock's milliseconds:
//   1250 open | 1250 90 3c 64 | 1250 c0 05 00 | 1250 f0 43 10 4c f7 | 1300 reset | 1300 close
// Bytes are two lowercase hex digits; messages with one data byte end in 00.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio/midi_output.h"

namespace orv {

class MidiRecorder final : public MidiOutput {
 public:
  using NowMs = std::function<uint32_t()>;
  using LineSink = std::function<void(const std::string& line)>;

  // Lines (without their newline) go to `sink`.
  MidiRecorder(NowMs nowMs, LineSink sink);
  // Lines go to a file, created or truncated; nothing when it cannot be written.
  static std::unique_ptr<MidiRecorder> ToFile(const std::filesystem::path& file, NowMs nowMs);

  bool Open() override;
  void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
  void LongMessage(ByteSpan bytes) override;
  void Reset() override;
  void Close() override;

  // A line could not be written to the file (a full disk).
  bool WriteFailed() const { return writeFailed_ && *writeFailed_; }

 private:
  std::shared_ptr<bool> writeFailed_;
  void Write(const std::string& text);

  NowMs nowMs_;
  LineSink sink_;
};

}  // namespace orv
