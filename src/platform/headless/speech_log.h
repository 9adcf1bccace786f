#pragma once
// Utterances written down instead of spoken, one a line: the clock's milliseconds when the
// text was handed over, a space and the text (UTF-8, line breaks and tabs turned into spaces
// so that every utterance stays one line):
//   1250 こんにちは
// Whether an utterance interrupted the one before is not written: tests read what is said
// and when. The same log records the text sent to reading tools (platform/text_out.h).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/speech.h"
#include "platform/text_out.h"

namespace orv {

class SpeechLog final : public Speech, public TextOut {
 public:
  using NowMs = std::function<uint32_t()>;

  // Created or truncated; nothing when it cannot be created.
  static std::unique_ptr<SpeechLog> ToFile(const std::filesystem::path& file, NowMs nowMs);
  ~SpeechLog() override;
  SpeechLog(const SpeechLog&) = delete;
  SpeechLog& operator=(const SpeechLog&) = delete;

  void Say(std::string_view utf8, SpeechOrder order) override;
  void Silence() override {}
  void Send(std::string_view utf8) override { Say(utf8, SpeechOrder::Queue); }

  // A line could not be written (a full disk).
  bool WriteFailed() const { return writeFailed_; }

 private:
  SpeechLog(std::FILE* file, NowMs nowMs);

  std::FILE* file_;
  NowMs nowMs_;
  bool writeFailed_ = false;
};

}  // namespace orv
