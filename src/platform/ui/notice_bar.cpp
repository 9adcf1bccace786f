#include "platform/ui/notice_bar.h"

#include <algorithm>
#include <vector>

#include "platform/sjis.h"

namespace orv {
namespace {

constexpr int kPadding = 6;
constexpr int kLineGap = 2;

std::vector<std::u32string> SplitLines(std::string_view utf8) {
  std::vector<std::u32string> lines(1);
  for (char32_t c : DecodeUtf8(utf8)) {
    if (c == U'\n')
      lines.emplace_back();
    else if (c != U'\r')
      lines.back().push_back(c);
  }
  return lines;
}

// The line shortened with an ellipsis until it fits.
std::u32string Fit(FontRenderer& fonts, std::u32string line, int width, const FontSpec& font) {
  if (fonts.MeasureUnicode(line, font) <= width) return line;
  while (!line.empty() && fonts.MeasureUnicode(line + U"…", font) > width) line.pop_back();
  return line + U"…";
}

}  // namespace

Panel DrawNoticeBar(FontRenderer& fonts, std::string_view utf8Text, Rect area, int scale) {
  if (utf8Text.empty() || area.Empty()) return Panel{};
  const int s = std::max(1, scale);
  const FontSpec font = ui::UiFont(s);
  const int cell = fonts.CellHeight(font);
  const std::vector<std::u32string> lines = SplitLines(utf8Text);
  const int height = std::min(area.Height(), 2 * kPadding * s + int(lines.size()) * (cell + kLineGap * s));
  Panel panel{Rect{area.left, area.top, area.right, area.top + height}, Image(area.Width(), height)};
  Image& image = panel.pixels;
  image.Fill(ui::kFace);
  ui::FrameRaised(image, image.bounds(), s);
  image.FillRect(Rect{2 * s, 2 * s, 6 * s, height - 2 * s}, ui::kTitle);  // the message boxes' title colour
  int y = kPadding * s;
  const int left = 12 * s, width = std::max(1, area.Width() - left - kPadding * s);
  for (const std::u32string& line : lines) {
    fonts.DrawUnicode(image, left, y, Fit(fonts, line, width, font), font);
    y += cell + kLineGap * s;
  }
  return panel;
}

Panel DrawSkipTag(FontRenderer& fonts, Rect area, int scale) {
  const int s = std::max(1, scale);
  const FontSpec font = ui::UiFont(s, ui::kTitleText);
  const std::u32string text = U"SKIP ▶▶";
  const int width = fonts.MeasureUnicode(text, font) + 2 * kPadding * s;
  const int height = fonts.CellHeight(font) + 2 * (kPadding / 2) * s;
  const int right = area.right - 4 * s, top = area.top + 4 * s;
  Panel panel{Rect{right - width, top, right, top + height}, Image(width, height)};
  panel.pixels.Fill(ui::kTitle);
  fonts.DrawUnicode(panel.pixels, kPadding * s, (kPadding / 2) * s, text, font);
  return panel;
}

}  // namespace orv
