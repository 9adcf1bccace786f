#include "platform/audio/midi_recorder.h"

#include <utility>

namespace orv {
namespace {

void AppendHex(std::string& out, uint8_t byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += ' ';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

MidiRecorder::MidiRecorder(NowMs nowMs, LineSink sink) : nowMs_(std::move(nowMs)), sink_(std::move(sink)) {}

std::unique_ptr<MidiRecorder> MidiRecorder::ToFile(const std::filesystem::path& file, NowMs nowMs) {
  std::FILE* opened = std::fopen(file.c_str(), "w");
  if (!opened) return nullptr;
  std::shared_ptr<std::FILE> out(opened, FileCloser{});
  auto failed = std::make_shared<bool>(false);
  // Each line is flushed so that a run that is cut short still leaves a usable log.
  auto recorder = std::make_unique<MidiRecorder>(std::move(nowMs), [out, failed](const std::string& line) {
    if (std::fputs(line.c_str(), out.get()) < 0 || std::fputc('\n', out.get()) == EOF || std::fflush(out.get()) != 0)
      *failed = true;
  });
  recorder->writeFailed_ = failed;
  return recorder;
}

bool MidiRecorder::Open() {
  Write(" open");
  return true;
}

void MidiRecorder::ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
  std::string text;
  AppendHex(text, status);
  AppendHex(text, data1);
  AppendHex(text, ChannelMessageDataBytes(status) == 2 ? data2 : 0);
  Write(text);
}

void MidiRecorder::LongMessage(ByteSpan bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const uint8_t byte : bytes) AppendHex(text, byte);
  Write(text);
}

void MidiRecorder::Reset() { Write(" reset"); }

void MidiRecorder::Close() { Write(" close"); }

void MidiRecorder::Write(const std::string& text) { sink_(std::to_string(nowMs_ ? nowMs_() : 0) + text); }

}  // namespace orv
