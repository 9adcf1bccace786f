#include "platform/sdl/window_notes.h"

#include "platform/ui/notice_bar.h"

namespace orv {
namespace {

constexpr std::string_view kBusyNoteText =
    "スクリプトの実行が長く続いています。Esc キーを押すか、ウィンドウを閉じると終了します。\n"
    "The script has been running for a while. Press Escape or close the window to end the game.";

}  // namespace

bool WindowNotes::ShowBusy(bool shown) {
  if (shown == busy_) return false;
  busy_ = shown;
  return true;
}

bool WindowNotes::ShowSkipping(bool skipping) {
  if (skipping == skipping_) return false;
  skipping_ = skipping;
  return true;
}

void WindowNotes::ShowNotice(std::string_view utf8Text, uint32_t untilMs) {
  notice_ = std::string(utf8Text);
  noticeUntil_ = untilMs;
}

bool WindowNotes::Dismiss() {
  if (notice_.empty()) return false;
  notice_.clear();
  return true;
}

void WindowNotes::ShowCaptionNote(std::string_view utf8Note, uint32_t untilMs) {
  captionNote_ = std::string(utf8Note);
  captionNoteUntil_ = untilMs;
}

std::string WindowNotes::Title() const {
  // Plain ASCII between the two: in a C locale X drops a title whose em dash it cannot convert.
  return captionNote_.empty() ? caption_ : caption_ + "  -  " + captionNote_;
}

WindowNotes::Expired WindowNotes::Expire(uint32_t nowMs) {
  Expired expired;
  if (!notice_.empty() && int32_t(nowMs - noticeUntil_) >= 0) expired.notice = Dismiss();
  if (!captionNote_.empty() && int32_t(nowMs - captionNoteUntil_) >= 0) {
    captionNote_.clear();
    expired.captionNote = true;
  }
  return expired;
}

void WindowNotes::Draw(Rect area, int ui, std::vector<Panel>& drawn) const {
  if (skipping_) drawn.push_back(DrawSkipTag(fonts_, area, ui));
  if (busy_) {
    drawn.push_back(DrawNoticeBar(fonts_, kBusyNoteText, area, ui));
    area.top = drawn.back().where.bottom;
  }
  if (!notice_.empty()) drawn.push_back(DrawNoticeBar(fonts_, notice_, area, ui));
}

}  // namespace orv
