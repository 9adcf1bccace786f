#include "platform/ui/volume_box.h"

#include <algorithm>

#include "platform/sjis.h"

namespace orv {
namespace {

// Unscaled metrics: the dialog's own client area is 262 x 228, under a title and a menu row.
constexpr int kBorder = 2;
constexpr int kTitleHeight = 20;
constexpr int kMenuHeight = 18;
constexpr int kClientTop = kBorder + kTitleHeight + kMenuHeight;
constexpr int kClientWidth = 262;
constexpr int kClientHeight = 228;
constexpr int kHeadingTop = 6;
constexpr int kSeparatorTop = 26;
constexpr int kVolumeLabelTop = 34;
constexpr int kTrackTop = 62;   // the thumb's centre at the top position
constexpr int kTickStep = 11;   // rows between two positions
constexpr int kThumbWidth = 22, kThumbHeight = 10;
constexpr int kTickGap = 13, kTickLength = 4;
constexpr int kMuteTop = 196;
constexpr int kCheckSize = 13;

const char* const kHeadings[3] = {"WAVE", "MIDI", "CD-DA"};

}  // namespace

VolumeBox::VolumeBox(FontRenderer& fonts, VolumeControls& controls) : fonts_(fonts), controls_(controls) {
  // The first control that takes input has the focus.
  focus_ = kControls - 1;
  MoveFocus(1);
}

void VolumeBox::Place(Rect area, int scale) {
  scale_ = std::max(1, scale);
  const int width = (kClientWidth + 2 * kBorder) * scale_;
  const int height = (kClientTop + kClientHeight + kBorder) * scale_;
  const int left = area.left + (area.Width() - width) / 2, top = area.top + (area.Height() - height) / 2;
  where_ = Rect{left, top, left + width, top + height};
}

int VolumeBox::ColumnLeft(int column) const { return (kBorder + column * kClientWidth / 3) * scale_; }

Rect VolumeBox::ExitMenuRect() const {
  const int s = scale_;
  const int width = fonts_.MeasureUnicode(U"終了", ui::UiFont(s)) + 12 * s;
  const int top = where_.top + (kBorder + kTitleHeight) * s;
  return Rect{where_.left + kBorder * s, top, where_.left + kBorder * s + width, top + kMenuHeight * s};
}

int VolumeBox::SliderY(int position) const {
  const int s = scale_;
  return where_.top + (kClientTop + kTrackTop + (VolumeControls::kMaxPosition - position) * kTickStep) * s;
}

Rect VolumeBox::SliderRect(VolumeLine line) const {
  const int s = scale_;
  const int column = int(line);
  const int centre = where_.left + (ColumnLeft(column) + ColumnLeft(column + 1)) / 2;
  const int reach = kTickGap + kTickLength + 1;
  return Rect{centre - reach * s, SliderY(VolumeControls::kMaxPosition) - kThumbHeight * s, centre + reach * s,
              SliderY(0) + kThumbHeight * s};
}

Rect VolumeBox::MuteRect(VolumeLine line) const {
  const int s = scale_;
  const int left = where_.left + ColumnLeft(int(line)) + 10 * s;
  const int top = where_.top + (kClientTop + kMuteTop) * s;
  const int label = fonts_.MeasureUnicode(U"ミュート", ui::UiFont(s));
  return Rect{left, top, left + (kCheckSize + 4) * s + label, top + kCheckSize * s};
}

bool VolumeBox::Enabled(int control) const {
  const VolumeControls::Line line = controls_.Get(LineOf(control));
  return IsSlider(control) ? line.sliderEnabled : line.muteEnabled;
}

void VolumeBox::MoveFocus(int step) {
  for (int i = 1; i <= kControls; ++i) {
    const int next = ((focus_ + step * i) % kControls + kControls) % kControls;
    if (Enabled(next)) {
      focus_ = next;
      return;
    }
  }
}

int VolumeBox::PositionAt(int y) const {
  const int step = kTickStep * scale_;
  const int fromTop = y - SliderY(VolumeControls::kMaxPosition) + step / 2;
  const int steps = fromTop < 0 ? 0 : fromTop / step;
  return std::clamp(VolumeControls::kMaxPosition - steps, 0, VolumeControls::kMaxPosition);
}

void VolumeBox::Slide(VolumeLine line, int position) {
  position = std::clamp(position, 0, VolumeControls::kMaxPosition);
  if (position != controls_.Get(line).position) controls_.MoveSlider(line, position);
}

void VolumeBox::MouseMove(int x, int y) {
  hoverExit_ = ExitMenuRect().Contains(x, y);
  if (dragging_) Slide(*dragging_, PositionAt(y));
}

void VolumeBox::MouseDown(int x, int y) {
  if (ExitMenuRect().Contains(x, y)) {
    pressedExit_ = true;
    return;
  }
  for (VolumeLine line : {VolumeLine::Wave, VolumeLine::Midi, VolumeLine::Cd}) {
    const int slider = int(line) * 2;
    if (SliderRect(line).Contains(x, y) && Enabled(slider)) {
      focus_ = slider;
      dragging_ = line;
      // A press anywhere on the track takes the thumb there.
      Slide(line, PositionAt(y));
      return;
    }
    if (MuteRect(line).Contains(x, y) && Enabled(slider + 1)) {
      focus_ = slider + 1;
      pressedMute_ = line;
      return;
    }
  }
}

void VolumeBox::MouseUp(int x, int y) {
  if (pressedExit_ && ExitMenuRect().Contains(x, y)) done_ = true;
  if (pressedMute_ && MuteRect(*pressedMute_).Contains(x, y))
    controls_.SetMuted(*pressedMute_, !controls_.Get(*pressedMute_).muted);
  // Muting disables the slider next to it; the focus must stay on something that works.
  if (!Enabled(focus_)) MoveFocus(1);
  pressedExit_ = false;
  pressedMute_.reset();
  dragging_.reset();
}

void VolumeBox::Key(VolumeKey key) {
  const VolumeLine line = LineOf(focus_);
  const int position = controls_.Get(line).position;
  const bool onSlider = IsSlider(focus_) && Enabled(focus_);
  switch (key) {
    case VolumeKey::Tab: MoveFocus(1); return;
    case VolumeKey::BackTab: MoveFocus(-1); return;
    case VolumeKey::Enter:
    case VolumeKey::Escape: done_ = true; return;
    case VolumeKey::Space:
      if (!IsSlider(focus_) && Enabled(focus_)) {
        controls_.SetMuted(line, !controls_.Get(line).muted);
        if (!Enabled(focus_)) MoveFocus(1);
      }
      return;
    case VolumeKey::Up:
    case VolumeKey::Right:
      if (onSlider) Slide(line, position + 1);
      return;
    case VolumeKey::Down:
    case VolumeKey::Left:
      if (onSlider) Slide(line, position - 1);
      return;
    case VolumeKey::PageUp:
      if (onSlider) Slide(line, position + 2);
      return;
    case VolumeKey::PageDown:
      if (onSlider) Slide(line, position - 2);
      return;
    case VolumeKey::Home:
      if (onSlider) Slide(line, VolumeControls::kMaxPosition);
      return;
    case VolumeKey::End:
      if (onSlider) Slide(line, 0);
      return;
    case VolumeKey::Other: return;
  }
}

Rect VolumeBox::Relative(Rect r) const {
  return Rect{r.left - where_.left, r.top - where_.top, r.right - where_.left, r.bottom - where_.top};
}

namespace {

// A thin dark ring just inside `r`: the keyboard focus.
void FocusRing(Image& image, Rect r) {
  ui::HorizontalLine(image, r.left, r.right, r.top, 1, ui::kDark);
  ui::HorizontalLine(image, r.left, r.right, r.bottom - 1, 1, ui::kDark);
  image.FillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, ui::kDark);
  image.FillRect(Rect{r.right - 1, r.top, r.right, r.bottom}, ui::kDark);
}

void DrawCentred(FontRenderer& fonts, Image& image, int left, int right, int y, std::u32string_view text,
                 const FontSpec& font) {
  fonts.DrawUnicode(image, (left + right - fonts.MeasureUnicode(text, font)) / 2, y, text, font);
}

}  // namespace

Panel VolumeBox::Render() const {
  const int s = scale_;
  Panel panel{where_, Image(where_.Width(), where_.Height())};
  Image& image = panel.pixels;
  const Rect box{0, 0, where_.Width(), where_.Height()};
  image.Fill(ui::kFace);
  ui::FrameRaised(image, box, s);
  const FontSpec font = ui::UiFont(s);
  const FontSpec greyed = ui::UiFont(s, ui::kDisabledText);
  const int cell = fonts_.CellHeight(font);

  const Rect title{kBorder * s, kBorder * s, box.right - kBorder * s, (kBorder + kTitleHeight) * s};
  image.FillRect(title, ui::kTitle);
  fonts_.DrawUnicode(image, title.left + 4 * s, title.top + (title.Height() - cell) / 2, U"音量設定",
                     ui::UiFont(s, ui::kTitleText));

  const Rect exit = Relative(ExitMenuRect());
  if (hoverExit_ || pressedExit_) image.FillRect(exit, ui::kHighlight);
  fonts_.DrawUnicode(image, exit.left + 6 * s, exit.top + (exit.Height() - cell) / 2, U"終了",
                     hoverExit_ || pressedExit_ ? ui::UiFont(s, ui::kHighlightText) : font);
  const int clientTop = kClientTop * s;
  ui::HorizontalLine(image, kBorder * s, box.right - kBorder * s, clientTop - s, s, ui::kShadow);

  // The column separators and the line under the headings.
  ui::HorizontalLine(image, kBorder * s + 4 * s, box.right - kBorder * s - 4 * s, clientTop + kSeparatorTop * s, s,
                     ui::kShadow);
  ui::HorizontalLine(image, kBorder * s + 4 * s, box.right - kBorder * s - 4 * s, clientTop + (kSeparatorTop + 1) * s,
                     s, ui::kLight);
  for (int column = 1; column < 3; ++column) {
    const int x = ColumnLeft(column);
    image.FillRect(Rect{x - s, clientTop + 4 * s, x, box.bottom - kBorder * s - 4 * s}, ui::kShadow);
    image.FillRect(Rect{x, clientTop + 4 * s, x + s, box.bottom - kBorder * s - 4 * s}, ui::kLight);
  }

  for (VolumeLine line : {VolumeLine::Wave, VolumeLine::Midi, VolumeLine::Cd}) {
    const int column = int(line);
    const VolumeControls::Line state = controls_.Get(line);
    const int left = ColumnLeft(column), right = ColumnLeft(column + 1);
    DrawCentred(fonts_, image, left, right, clientTop + kHeadingTop * s, DecodeUtf8(kHeadings[column]),
                state.muteEnabled ? font : greyed);
    DrawCentred(fonts_, image, left, right, clientTop + kVolumeLabelTop * s, U"音量",
                state.sliderEnabled ? font : greyed);

    // The track, its tick marks on both sides, and the thumb at the line's position.
    const Rect slider = Relative(SliderRect(line));
    const int centre = (slider.left + slider.right) / 2;
    const int top = SliderY(VolumeControls::kMaxPosition) - where_.top, bottom = SliderY(0) - where_.top;
    const Rect track{centre - 2 * s, top - 2 * s, centre + 2 * s, bottom + 2 * s};
    image.FillRect(track, state.sliderEnabled ? ui::kField : ui::kFace);
    ui::FrameSunken(image, track, 1);
    for (int p = 0; p <= VolumeControls::kMaxPosition; ++p) {
      const int y = SliderY(p) - where_.top;
      ui::HorizontalLine(image, centre - (kTickGap + kTickLength) * s, centre - kTickGap * s, y, s, ui::kText);
      ui::HorizontalLine(image, centre + kTickGap * s, centre + (kTickGap + kTickLength) * s, y, s, ui::kText);
    }
    const int thumbY = SliderY(state.position) - where_.top;
    const Rect thumb{centre - kThumbWidth / 2 * s, thumbY - kThumbHeight / 2 * s, centre + kThumbWidth / 2 * s,
                     thumbY + kThumbHeight / 2 * s};
    image.FillRect(thumb, ui::kFace);
    if (state.sliderEnabled) {
      ui::FrameRaised(image, thumb, s);
    } else {
      ui::FrameSunken(image, thumb, 1);
    }

    const Rect mute = Relative(MuteRect(line));
    const Rect check{mute.left, mute.top, mute.left + kCheckSize * s, mute.top + kCheckSize * s};
    image.FillRect(check, state.muteEnabled ? ui::kField : ui::kFace);
    ui::FrameSunken(image, check, 1);
    if (state.muted) ui::DrawCheck(image, check, state.muteEnabled ? ui::kText : ui::kDisabledText);
    fonts_.DrawUnicode(image, check.right + 4 * s, mute.top + (mute.Height() - cell) / 2, U"ミュート",
                       state.muteEnabled ? font : greyed);

    if (focus_ == column * 2 && state.sliderEnabled)
      FocusRing(image, Rect{slider.left, slider.top + 2 * s, slider.right, slider.bottom - 2 * s});
    if (focus_ == column * 2 + 1 && state.muteEnabled)
      FocusRing(image, Rect{mute.left - 2 * s, mute.top - 2 * s, mute.right + 2 * s, mute.bottom + 2 * s});
  }
  return panel;
}

}  // namespace orv
