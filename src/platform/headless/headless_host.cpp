#include "platform/headless/headless_host.h"

#include <fstream>

#include "platform/clock.h"
#include "platform/image_files.h"
#include "platform/sjis.h"

namespace orv {

namespace {
// The screen the headless window pretends to be on.
constexpr int kScreenWidth = 1920, kScreenHeight = 1080;
}  // namespace

HeadlessHost::HeadlessHost(std::FILE* out, EventScript* events, Clock& clock)
    : out_(out), events_(events), clock_(clock) {
  CenterWindow();
}

bool HeadlessHost::StartRecording(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir)) return false;
  std::ofstream emptied(dir / "frames.txt", std::ios::trunc);
  recordDir_ = dir;
  recording_ = true;
  return true;
}

void HeadlessHost::Present(const Image& surface) {
  ++framesPresented;
  if (!recording_) return;
  char name[16];
  std::snprintf(name, sizeof name, "%06d", framesPresented);
  WriteBmp24(recordDir_ / (std::string(name) + ".bmp"), surface);
  std::ofstream(recordDir_ / "frames.txt", std::ios::app) << name << ' ' << clock_.NowMs() << '\n';
}

void HeadlessHost::Line(std::string_view kind, std::string_view text) {
  std::fprintf(out_, "%.*s: %s\n", int(kind.size()), kind.data(), text.data());
  std::fflush(out_);
}

void HeadlessHost::SetCaption(std::string_view newCaption) {
  if (newCaption == caption) return;
  caption = std::string(newCaption);
  Line("caption", Cp932ToUtf8(caption));
}

void HeadlessHost::ShowMessage(std::string_view text, std::string_view) { Line("message", Cp932ToUtf8(text)); }

bool HeadlessHost::AskYesNo(std::string_view text, std::string_view) {
  bool yes = true;
  if (events_) {
    if (const EventLine* next = events_->Peek(); next && next->verb == "answer") {
      yes = next->args.empty() || next->args[0] != "no";
      events_->Next();
    }
  }
  Line("question", Cp932ToUtf8(text) + (yes ? " -> yes" : " -> no"));
  return yes;
}

std::optional<std::string> HeadlessHost::AskText(std::string_view caption_, std::string_view,
                                                 std::string_view defaultText) {
  std::optional<std::string> answer = std::string(defaultText);
  if (events_) {
    if (const EventLine* next = events_->Peek(); next && (next->verb == "input" || next->verb == "input-cancel")) {
      if (next->verb == "input") answer = Utf8ToCp932(next->rest);
      else answer.reset();
      events_->Next();
    }
  }
  Line("input", Cp932ToUtf8(caption_) + " -> " + (answer ? Cp932ToUtf8(*answer) : std::string("(cancel)")));
  return answer;
}

std::optional<std::string> HeadlessHost::AskSaveFile(std::string_view, std::string_view) {
  if (events_) {
    if (const EventLine* next = events_->Peek(); next && next->verb == "savefile") {
      std::string name = Utf8ToCp932(next->rest);
      events_->Next();
      return name;
    }
  }
  return std::nullopt;
}

void HeadlessHost::SetWindowPosition(int l, int t) {
  left = l;
  top = t;
}

void HeadlessHost::GetWindowPosition(int& l, int& t) {
  l = left;
  t = top;
}

void HeadlessHost::CenterWindow() {
  left = (kScreenWidth - kStageWidth) / 2;
  top = (kScreenHeight - kStageHeight) / 2;
}

bool HeadlessHost::SetCursorFromFile(const std::filesystem::path& file) {
  if (!std::filesystem::is_regular_file(file)) return false;
  cursorFile = file.string();
  return true;
}

void HeadlessHost::OpenExternally(const std::string& target) { Line("open", target); }

}  // namespace orv
