#include "platform/ui/ui_draw.h"

#include <algorithm>
#include <cmath>

#include "platform/sjis.h"

namespace orv::ui {

FontSpec UiFont(int scale, Rgb color) { return FontSpec{"MS PGothic", 9 * std::max(1, scale), color}; }

Caption ParseCaption(std::string_view sjis) {
  const std::u32string raw = DecodeCp932(sjis);
  Caption out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == U'&' && i + 1 < raw.size()) {
      ++i;
      if (raw[i] != U'&' && out.underline < 0) {
        out.underline = int(out.text.size());
        char32_t c = raw[i];
        if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
        out.accelerator = c < 0x80 ? c : 0;
      }
    }
    out.text.push_back(raw[i]);
  }
  return out;
}

int DrawCaption(FontRenderer& fonts, Image& target, int x, int y, const Caption& caption, const FontSpec& font) {
  const int advance = fonts.DrawUnicode(target, x, y, caption.text, font);
  if (caption.underline >= 0 && caption.underline < int(caption.text.size())) {
    const std::u32string_view text(caption.text);
    const int left = x + fonts.MeasureUnicode(text.substr(0, size_t(caption.underline)), font);
    const int width = fonts.MeasureUnicode(text.substr(size_t(caption.underline), 1), font);
    const int cell = fonts.CellHeight(font);
    const int thickness = std::max(1, cell / 14);
    HorizontalLine(target, left, left + width, y + cell - thickness, thickness, font.color);
  }
  return advance;
}

void HorizontalLine(Image& target, int x0, int x1, int y, int thickness, Rgb color) {
  target.FillRect(Rect{x0, y, x1, y + thickness}, color);
}

namespace {
void Bevel(Image& target, Rect r, int scale, Rgb topLeft, Rgb bottomRight) {
  const int t = std::max(1, scale);
  target.FillRect(Rect{r.left, r.top, r.right, r.top + t}, topLeft);
  target.FillRect(Rect{r.left, r.top, r.left + t, r.bottom}, topLeft);
  target.FillRect(Rect{r.left, r.bottom - t, r.right, r.bottom}, bottomRight);
  target.FillRect(Rect{r.right - t, r.top, r.right, r.bottom}, bottomRight);
}
}  // namespace

void FrameRaised(Image& target, Rect r, int scale) {
  Bevel(target, r, scale, kLight, kDark);
  const int t = std::max(1, scale);
  Bevel(target, Rect{r.left + t, r.top + t, r.right - t, r.bottom - t}, scale, kFace, kShadow);
}

void FrameSunken(Image& target, Rect r, int scale) {
  Bevel(target, r, scale, kShadow, kLight);
  const int t = std::max(1, scale);
  Bevel(target, Rect{r.left + t, r.top + t, r.right - t, r.bottom - t}, scale, kDark, kFace);
}

void DrawCheck(Image& target, Rect box, Rgb color) {
  // Two strokes: down-right from the left middle, then up-right to the top right.
  const int size = std::min(box.Width(), box.Height());
  const int stroke = std::max(2, size / 6);
  const int x0 = box.left + size / 6, y0 = box.top + size / 2;
  const int x1 = box.left + size * 5 / 12, y1 = box.top + size * 3 / 4;
  const int x2 = box.left + size * 5 / 6, y2 = box.top + size / 4;
  auto stamp = [&](int xa, int ya, int xb, int yb) {
    const int steps = std::max(std::abs(xb - xa), std::abs(yb - ya));
    for (int i = 0; i <= steps; ++i) {
      const int x = xa + (xb - xa) * i / std::max(1, steps), y = ya + (yb - ya) * i / std::max(1, steps);
      target.FillRect(Rect{x - stroke / 2, y - stroke / 2, x - stroke / 2 + stroke, y - stroke / 2 + stroke}, color);
    }
  };
  stamp(x0, y0, x1, y1);
  stamp(x1, y1, x2, y2);
}

void DrawArrowRight(Image& target, Rect box, Rgb color) {
  const int half = std::max(2, std::min(box.Width(), box.Height()) / 4);
  const int cx = box.left + box.Width() / 2 - half / 2, cy = box.top + box.Height() / 2;
  for (int dx = 0; dx < half; ++dx) {
    const int reach = half - dx;
    target.FillRect(Rect{cx + dx, cy - reach, cx + dx + 1, cy + reach}, color);
  }
}


}  // namespace orv::ui
