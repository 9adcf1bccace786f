#include "platform/headless/speech_log.h"

#include <utility>

namespace orv {

namespace {
// The text as one line: CR, LF and tabs become spaces.
std::string OneLine(std::string_view utf8) {
  std::string line(utf8);
  for (char& c : line)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  return line;
}
}  // namespace

std::unique_ptr<SpeechLog> SpeechLog::ToFile(const std::filesystem::path& file, NowMs nowMs) {
  std::FILE* opened = std::fopen(file.c_str(), "w");
  if (opened == nullptr) return nullptr;
  return std::unique_ptr<SpeechLog>(new SpeechLog(opened, std::move(nowMs)));
}

SpeechLog::SpeechLog(std::FILE* file, NowMs nowMs) : file_(file), nowMs_(std::move(nowMs)) {}

SpeechLog::~SpeechLog() { std::fclose(file_); }

void SpeechLog::Say(std::string_view utf8, SpeechOrder) {
  const std::string line = std::to_string(nowMs_ ? nowMs_() : 0) + " " + OneLine(utf8) + "\n";
  // Flushed at once, so that a run that is cut short still leaves what was said.
  if (std::fputs(line.c_str(), file_) < 0 || std::fflush(file_) != 0) writeFailed_ = true;
}

}  // namespace orv
