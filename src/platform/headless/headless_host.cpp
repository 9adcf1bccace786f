#include "platform/headless/headless_host.h"

#include <fstream>

#include "platform/clock.h"
#include "platform/image_files.h"
#include "platform/os.h"
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
  if (!std::filesystem::is_directory(dir, ec)) return false;
  recordDir_ = dir;
  recording_ = true;
  frameList_.clear();
  recordError_.clear();
  // The list is written whole at the end; an empty one marks the folder as a recording now.
  return WriteFileAtomically(dir / "frames.txt", ByteSpan()).ok();
}

std::string HeadlessHost::FinishRecording() {
  if (!recordError_.empty()) return recordError_;
  if (!recording_) return {};
  recording_ = false;
  const Result<void> list = WriteFileAtomically(recordDir_ / "frames.txt", AsBytes(frameList_));
  return list ? std::string() : "cannot write " + (recordDir_ / "frames.txt").string() + ": " + list.error().message;
}

void HeadlessHost::Present(const Image& surface) {
  ++framesPresented;
  if (!recording_) return;
  char name[16];
  std::snprintf(name, sizeof name, "%06d", framesPresented);
  const std::filesystem::path frame = recordDir_ / (std::string(name) + ".bmp");
  if (const Result<void> written = WriteFileAtomically(frame, EncodeBmp24(surface)); !written) {
    // A recording with holes is no recording: stop, and the run says so at its end.
    recordError_ = "cannot write " + frame.string() + ": " + written.error().message;
    recording_ = false;
    // The frames kept so far stay listed if the disk lets them; the error above is the news.
    (void)WriteFileAtomically(recordDir_ / "frames.txt", AsBytes(frameList_));
    return;
  }
  frameList_ += std::string(name) + ' ' + std::to_string(clock_.NowMs()) + '\n';
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

void HeadlessHost::ShowCaptionNote(std::string_view utf8Note) { Line("note", utf8Note); }

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

namespace {

std::optional<VolumeLine> VolumeLineByName(const std::string& name) {
  if (name == "wave") return VolumeLine::Wave;
  if (name == "midi") return VolumeLine::Midi;
  if (name == "cd") return VolumeLine::Cd;
  return std::nullopt;
}

}  // namespace

void HeadlessHost::ShowVolumeDialog(VolumeControls& controls) {
  while (events_) {
    const EventLine* next = events_->Peek();
    if (!next || (next->verb != "slider" && next->verb != "mute" && next->verb != "close")) return;
    const EventLine event = *events_->Next();
    if (event.verb == "close") return;
    const std::optional<VolumeLine> line = event.args.size() == 2 ? VolumeLineByName(event.args[0]) : std::nullopt;
    const std::string& value = line ? event.args[1] : std::string();
    if (line && event.verb == "slider" && !value.empty() && value.find_first_not_of("0123456789") == std::string::npos &&
        value.size() <= 2 && std::stoi(value) <= VolumeControls::kMaxPosition) {
      controls.MoveSlider(*line, std::stoi(value));
    } else if (line && event.verb == "mute" && (value == "on" || value == "off")) {
      controls.SetMuted(*line, value == "on");
    } else {
      std::fprintf(stderr, "orvane: events line %d: %s takes wave, midi or cd and %s\n", event.lineNumber,
                   event.verb.c_str(), event.verb == "slider" ? "0 to 10" : "on or off");
    }
  }
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
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  cursorFile = file.string();
  return true;
}

void HeadlessHost::OpenExternally(const std::string& target) { Line("open", target); }

}  // namespace orv
