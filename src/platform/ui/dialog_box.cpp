#include "platform/ui/dialog_box.h"

#include <algorithm>

#include "platform/sjis.h"

namespace orv {
namespace {

// Unscaled metrics.
constexpr int kTitleHeight = 20;
constexpr int kPadding = 14;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 10;
constexpr int kFieldWidth = 340;
constexpr int kFieldPadding = 4;
constexpr int kMaxMessageWidth = 520;

}  // namespace

DialogBox::DialogBox(FontRenderer& fonts, DialogKind kind, std::string_view title, std::string_view message,
                     std::string_view initialText, size_t maxSjisBytes)
    : fonts_(fonts), kind_(kind), title_(title), message_(message), maxSjisBytes_(maxSjisBytes) {
  switch (kind_) {
    case DialogKind::Message: buttons_ = {{"OK", true}}; break;
    case DialogKind::YesNo:
      buttons_ = {{Utf8ToCp932("はい(&Y)"), true}, {Utf8ToCp932("いいえ(&N)"), false}};
      break;
    case DialogKind::Text:
      buttons_ = {{"OK", true}, {Utf8ToCp932("キャンセル"), false}};
      TextInput(initialText);
      allSelected_ = !chars_.empty();
      break;
  }
}

std::vector<std::u32string> DialogBox::WrapMessage(int maxWidth) const {
  std::vector<std::u32string> lines(1);
  const FontSpec font = ui::UiFont(scale_);
  int width = 0;
  for (char32_t c : DecodeUtf8(message_)) {
    if (c == U'\r') continue;
    if (c == U'\n') {
      lines.emplace_back();
      width = 0;
      continue;
    }
    const int w = fonts_.MeasureUnicode(std::u32string_view(&c, 1), font);
    if (width + w > maxWidth && !lines.back().empty()) {
      lines.emplace_back();
      width = 0;
    }
    lines.back().push_back(c);
    width += w;
  }
  return lines;
}

void DialogBox::Place(Rect area, int scale) {
  scale_ = std::max(1, scale);
  const int s = scale_;
  const FontSpec font = ui::UiFont(s);
  const int cell = fonts_.CellHeight(font);
  const int maxText = std::max(100 * s, std::min(kMaxMessageWidth * s, area.Width() - 2 * kPadding * s - 8 * s));
  lines_ = WrapMessage(maxText);
  int textWidth = 0;
  for (const auto& line : lines_) textWidth = std::max(textWidth, fonts_.MeasureUnicode(line, font));
  textWidth = std::max(textWidth, fonts_.MeasureUnicode(DecodeUtf8(title_), font) + 20 * s);
  if (kind_ == DialogKind::Text) textWidth = std::max(textWidth, std::min(kFieldWidth * s, maxText));
  const int buttonsWidth = int(buttons_.size()) * kButtonWidth * s + int(buttons_.size() - 1) * kButtonGap * s;
  const int width = std::max(textWidth, buttonsWidth) + 2 * kPadding * s;
  int height = kTitleHeight * s + kPadding * s + int(lines_.size()) * (cell + 2 * s) + kPadding * s +
               kButtonHeight * s + kPadding * s;
  if (kind_ == DialogKind::Text) height += cell + 2 * kFieldPadding * s + kPadding * s;
  const int left = area.left + (area.Width() - width) / 2, top = area.top + (area.Height() - height) / 2;
  where_ = Rect{left, top, left + width, top + height};
}

Rect DialogBox::FieldRect() const {
  if (kind_ != DialogKind::Text) return {};
  const int s = scale_;
  const int cell = fonts_.CellHeight(ui::UiFont(s));
  const int top = where_.top + kTitleHeight * s + kPadding * s + int(lines_.size()) * (cell + 2 * s) + kPadding * s / 2;
  return Rect{where_.left + kPadding * s, top, where_.right - kPadding * s, top + cell + 2 * kFieldPadding * s};
}

Rect DialogBox::ButtonRect(size_t index) const {
  const int s = scale_;
  const int count = int(buttons_.size());
  const int total = count * kButtonWidth * s + (count - 1) * kButtonGap * s;
  const int left = (where_.Width() - total) / 2 + int(index) * (kButtonWidth + kButtonGap) * s;
  const int top = where_.Height() - kPadding * s - kButtonHeight * s;
  return Rect{left, top, left + kButtonWidth * s, top + kButtonHeight * s};
}

std::optional<size_t> DialogBox::ButtonAt(int x, int y) const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (ButtonRect(i).Contains(x - where_.left, y - where_.top)) return i;
  return std::nullopt;
}

void DialogBox::Finish(bool accepted) {
  done_ = true;
  accepted_ = accepted;
}

void DialogBox::MouseMove(int, int) {}

void DialogBox::MouseDown(int x, int y) {
  pressed_ = ButtonAt(x, y);
  if (pressed_) focus_ = *pressed_;
}

void DialogBox::MouseUp(int x, int y) {
  const auto released = ButtonAt(x, y);
  if (pressed_ && released == pressed_) Finish(buttons_[*pressed_].accepts);
  pressed_.reset();
}

void DialogBox::Edited() { text_ = EncodeUtf8(chars_); }

bool DialogBox::DeleteSelection() {
  if (!allSelected_) return false;
  allSelected_ = false;
  chars_.clear();
  caret_ = 0;
  Edited();
  return true;
}

void DialogBox::Key(DialogKey key, char letter) {
  const bool composing = !composition_.empty();
  const bool field = kind_ == DialogKind::Text;
  if (composing && key != DialogKey::Other && key != DialogKey::Letter) return;  // the input method's keys
  switch (key) {
    case DialogKey::Enter: Finish(buttons_[focus_].accepts); return;
    case DialogKey::Escape: Finish(kind_ == DialogKind::Message); return;
    case DialogKey::Tab: focus_ = (focus_ + 1) % buttons_.size(); return;
    case DialogKey::BackTab: focus_ = (focus_ + buttons_.size() - 1) % buttons_.size(); return;
    case DialogKey::Left:
    case DialogKey::Right:
      if (!field) {
        focus_ = (focus_ + (key == DialogKey::Right ? 1 : buttons_.size() - 1)) % buttons_.size();
      } else if (allSelected_) {
        // Like the desktop's fields: an arrow ends the selection at its side.
        allSelected_ = false;
        caret_ = key == DialogKey::Left ? 0 : chars_.size();
      } else if (key == DialogKey::Left) {
        caret_ -= caret_ > 0 ? 1 : 0;
      } else {
        caret_ += caret_ < chars_.size() ? 1 : 0;
      }
      return;
    case DialogKey::Home:
    case DialogKey::End:
      allSelected_ = false;
      caret_ = key == DialogKey::Home ? 0 : chars_.size();
      return;
    case DialogKey::SelectAll:
      allSelected_ = field && !chars_.empty();
      caret_ = chars_.size();
      return;
    case DialogKey::Backspace:
    case DialogKey::Delete:
      if (!field || DeleteSelection()) return;
      if (key == DialogKey::Backspace && caret_ > 0) {
        chars_.erase(--caret_, 1);
      } else if (key == DialogKey::Delete && caret_ < chars_.size()) {
        chars_.erase(caret_, 1);
      }
      Edited();
      return;
    case DialogKey::Letter:
      if (kind_ == DialogKind::YesNo && (letter == 'Y' || letter == 'N')) Finish(letter == 'Y');
      return;
    case DialogKey::Other: return;
  }
}

void DialogBox::TextInput(std::string_view utf8) {
  if (kind_ != DialogKind::Text) return;
  DeleteSelection();
  // Character by character, so that a long paste keeps what fits. Shift-JIS has no state
  // between characters, so the lengths add up.
  size_t sjisBytes = Utf8ToCp932(text_).size();
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c < 0x20 || c == 0x7F) continue;
    const size_t bytes = Utf8ToCp932(EncodeUtf8(std::u32string_view(&c, 1))).size();
    if (sjisBytes + bytes > maxSjisBytes_) break;
    chars_.insert(caret_++, 1, c);
    sjisBytes += bytes;
  }
  Edited();
}

void DialogBox::Composition(std::string_view utf8) { composition_ = std::string(utf8); }

Panel DialogBox::Render() const {
  const int s = scale_;
  Panel panel{where_, Image(where_.Width(), where_.Height())};
  Image& image = panel.pixels;
  const Rect box{0, 0, where_.Width(), where_.Height()};
  image.Fill(ui::kFace);
  ui::FrameRaised(image, box, s);
  const FontSpec font = ui::UiFont(s);
  const int cell = fonts_.CellHeight(font);

  const Rect title{2 * s, 2 * s, box.right - 2 * s, (2 + kTitleHeight) * s};
  image.FillRect(title, ui::kTitle);
  fonts_.DrawUnicode(image, title.left + 4 * s, title.top + (title.Height() - cell) / 2, DecodeUtf8(title_),
                     ui::UiFont(s, ui::kTitleText));

  int y = (2 + kTitleHeight) * s + kPadding * s;
  for (const auto& line : lines_) {
    fonts_.DrawUnicode(image, kPadding * s, y, line, font);
    y += cell + 2 * s;
  }

  if (kind_ == DialogKind::Text) {
    Rect field = FieldRect();
    field = Rect{field.left - where_.left, field.top - where_.top, field.right - where_.left, field.bottom - where_.top};
    image.FillRect(field, ui::kField);
    ui::FrameSunken(image, field, s);
    const int inner = field.Width() - 2 * kFieldPadding * s;
    // Before the caret, the composition in progress at the caret, the rest after it.
    const std::u32string before = chars_.substr(0, caret_), after = chars_.substr(caret_);
    const std::u32string composing = DecodeUtf8(composition_);
    const int beforeWidth = fonts_.MeasureUnicode(before, font);
    const int composingWidth = fonts_.MeasureUnicode(composing, font);
    const int afterWidth = fonts_.MeasureUnicode(after, font);
    // Keep the caret in view: scroll the text left when the caret would pass the right edge.
    const int shift = std::max(0, beforeWidth + composingWidth + 2 * s - inner);
    Image text(inner, cell);
    text.Fill(ui::kField);
    if (allSelected_) {
      text.FillRect(Rect{-shift, 0, beforeWidth + afterWidth - shift, cell}, ui::kHighlight);
      fonts_.DrawUnicode(text, -shift, 0, chars_, ui::UiFont(s, ui::kHighlightText));
    } else {
      fonts_.DrawUnicode(text, -shift, 0, before, font);
      fonts_.DrawUnicode(text, beforeWidth + composingWidth - shift, 0, after, font);
    }
    fonts_.DrawUnicode(text, beforeWidth - shift, 0, composing, font);
    if (!composing.empty())
      ui::HorizontalLine(text, beforeWidth - shift, beforeWidth - shift + composingWidth, cell - s, s, ui::kText);
    const int caret = beforeWidth + composingWidth - shift;
    if (!allSelected_) text.FillRect(Rect{caret, 0, caret + s, cell}, ui::kText);
    CopyRect(image, field.left + kFieldPadding * s, field.top + kFieldPadding * s, text, text.bounds());
  }

  for (size_t i = 0; i < buttons_.size(); ++i) {
    const Rect r = ButtonRect(i);
    if (pressed_ == i) {
      ui::FrameSunken(image, r, s);
    } else {
      ui::FrameRaised(image, r, s);
    }
    const ui::Caption caption = ui::ParseCaption(buttons_[i].label);
    const int width = fonts_.MeasureUnicode(caption.text, font);
    ui::DrawCaption(fonts_, image, r.left + (r.Width() - width) / 2, r.top + (r.Height() - cell) / 2, caption, font);
    if (i == focus_) {
      // The focus ring: a thin dark line just inside the bevel.
      const Rect ring{r.left + 4 * s, r.top + 4 * s, r.right - 4 * s, r.bottom - 4 * s};
      ui::HorizontalLine(image, ring.left, ring.right, ring.top, 1, ui::kDark);
      ui::HorizontalLine(image, ring.left, ring.right, ring.bottom - 1, 1, ui::kDark);
      image.FillRect(Rect{ring.left, ring.top, ring.left + 1, ring.bottom}, ui::kDark);
      image.FillRect(Rect{ring.right - 1, ring.top, ring.right, ring.bottom}, ui::kDark);
    }
  }
  return panel;
}

}  // namespace orv
