#include "platform/ui/start_screen_view.h"

#include <algorithm>

#include "platform/sjis.h"

namespace orv {

namespace {
constexpr int kMargin = 40;
constexpr int kListTop = 96;
constexpr int kEntryHeight = 42;
constexpr int kButtonWidth = 260, kButtonHeight = 34;
constexpr int kButtonTop = kListTop + StartScreenView::kMaxShown * kEntryHeight + 14;
constexpr Rgb kBackground{44, 52, 72};
constexpr Rgb kHeading{230, 232, 240};
constexpr Rgb kFolderText{96, 96, 96};
constexpr Rgb kProblemText{255, 214, 120};

FontSpec Font(int points, Rgb color) { return FontSpec{"MS PGothic", points, color}; }

// The text shortened with an ellipsis until it fits; folders lose their start, which says least.
std::u32string Fit(FontRenderer& fonts, std::u32string text, int width, const FontSpec& font, bool keepEnd) {
  if (fonts.MeasureUnicode(text, font) <= width) return text;
  while (!text.empty()) {
    if (keepEnd)
      text.erase(text.begin());
    else
      text.pop_back();
    std::u32string shown = keepEnd ? U"…" + text : text + U"…";
    if (fonts.MeasureUnicode(shown, font) <= width) return shown;
  }
  return U"…";
}
}  // namespace

void StartScreenView::SetEntries(std::vector<StartEntry> entries) {
  entries_ = std::move(entries);
  focus_ = 0;
}

int StartScreenView::ItemCount() const { return std::min(int(entries_.size()), kMaxShown) + 1; }

Rect StartScreenView::EntryRect(int index) const {
  const int top = kListTop + index * kEntryHeight;
  return Rect{kMargin, top, kWidth - kMargin, top + kEntryHeight - 4};
}

Rect StartScreenView::ButtonRect() const {
  const int left = (kWidth - kButtonWidth) / 2;
  return Rect{left, kButtonTop, left + kButtonWidth, kButtonTop + kButtonHeight};
}

StartItem StartScreenView::ItemAt(int x, int y) const {
  auto inside = [&](Rect r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
  for (int i = 0; i + 1 < ItemCount(); ++i)
    if (inside(EntryRect(i))) return StartItem{StartItem::Kind::Recent, i};
  if (inside(ButtonRect())) return StartItem{StartItem::Kind::OpenFolder, -1};
  return StartItem{};
}

void StartScreenView::PointAt(int x, int y) {
  const StartItem item = ItemAt(x, y);
  if (item.kind == StartItem::Kind::Recent) focus_ = item.index;
  if (item.kind == StartItem::Kind::OpenFolder) focus_ = ItemCount() - 1;
}

void StartScreenView::MoveFocus(int step) { focus_ = std::clamp(focus_ + step, 0, ItemCount() - 1); }

StartItem StartScreenView::Focused() const {
  if (focus_ == ItemCount() - 1) return StartItem{StartItem::Kind::OpenFolder, -1};
  return StartItem{StartItem::Kind::Recent, focus_};
}

Image StartScreenView::Render(FontRenderer& fonts) const {
  Image image(kWidth, kHeight);
  image.Fill(kBackground);
  const FontSpec title = Font(20, kHeading);
  fonts.DrawUnicode(image, kMargin, 24, U"Orvane", title);
  const FontSpec heading = Font(10, kHeading);
  fonts.DrawUnicode(image, kMargin, kListTop - 24, DecodeUtf8("最近のゲーム  Recent games"), heading);

  const StartItem focused = Focused();
  const int shown = ItemCount() - 1;
  if (shown == 0) fonts.DrawUnicode(image, kMargin + 8, kListTop + 8, DecodeUtf8("No games played yet."), heading);
  for (int i = 0; i < shown; ++i) {
    const Rect r = EntryRect(i);
    const bool on = focused.kind == StartItem::Kind::Recent && focused.index == i;
    image.FillRect(r, on ? ui::kHighlight : ui::kFace);
    ui::FrameRaised(image, r, 1);
    const int textWidth = r.Width() - 20;
    const FontSpec caption = Font(12, on ? ui::kHighlightText : ui::kText);
    const FontSpec folder = Font(9, on ? ui::kHighlightText : kFolderText);
    fonts.DrawUnicode(image, r.left + 10, r.top + 3,
                      Fit(fonts, DecodeUtf8(entries_[size_t(i)].caption), textWidth, caption, false), caption);
    fonts.DrawUnicode(image, r.left + 10, r.top + 22,
                      Fit(fonts, DecodeUtf8(entries_[size_t(i)].folder), textWidth, folder, true), folder);
  }

  const Rect button = ButtonRect();
  const bool onButton = focused.kind == StartItem::Kind::OpenFolder;
  image.FillRect(button, onButton ? ui::kHighlight : ui::kFace);
  ui::FrameRaised(image, button, 1);
  const FontSpec buttonFont = Font(11, onButton ? ui::kHighlightText : ui::kText);
  const std::u32string label = DecodeUtf8(kOpenFolderText);
  const int labelWidth = fonts.MeasureUnicode(label, buttonFont);
  fonts.DrawUnicode(image, button.left + (button.Width() - labelWidth) / 2,
                    button.top + (button.Height() - fonts.CellHeight(buttonFont)) / 2, label, buttonFont);

  // Two lines at most: what is wrong, then the folder, which keeps its end when cut.
  const FontSpec problem = Font(9, kProblemText);
  const size_t split = problem_.find('\n');
  const std::string first = problem_.substr(0, split);
  const std::string second = split == std::string::npos ? std::string() : problem_.substr(split + 1);
  const int width = kWidth - 2 * kMargin;
  const int top = button.bottom + 6;
  fonts.DrawUnicode(image, kMargin, top, Fit(fonts, DecodeUtf8(first), width, problem, false), problem);
  fonts.DrawUnicode(image, kMargin, top + fonts.CellHeight(problem) + 2,
                    Fit(fonts, DecodeUtf8(second), width, problem, true), problem);
  return image;
}

}  // namespace orv
