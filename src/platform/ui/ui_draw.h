#pragma once
// Drawing of the backend's own widgets (menu bar, drop-downs, dialogs) into software images
// at the window's pixel scale. The widgets look like the classic desktop ones games were made
// beside: grey faces, bevelled edges, a dark title bar.
#include <string>
#include <string_view>

#include "platform/image.h"
#include "platform/text/font_renderer.h"

namespace orv {

// A piece of the window drawn by the backend over or beside the stage, in window pixels.
struct Panel {
  Rect where;
  Image pixels;
};

namespace ui {

inline constexpr Rgb kFace{236, 233, 224};
inline constexpr Rgb kLight{255, 255, 255};
inline constexpr Rgb kShadow{160, 156, 148};
inline constexpr Rgb kDark{64, 64, 64};
inline constexpr Rgb kText{0, 0, 0};
inline constexpr Rgb kDisabledText{150, 148, 140};
inline constexpr Rgb kHighlight{49, 106, 197};
inline constexpr Rgb kHighlightText{255, 255, 255};
inline constexpr Rgb kTitle{10, 36, 106};
inline constexpr Rgb kTitleText{255, 255, 255};
inline constexpr Rgb kField{255, 255, 255};

// The widget font: a proportional Gothic at 9 points, times the scale.
FontSpec UiFont(int scale, Rgb color = kText);

// A caption with its accelerator: "ファイル(&F)" shows "ファイル(F)" with F underlined;
// "&&" is a literal ampersand.
struct Caption {
  std::u32string text;
  int underline = -1;     // index into text, or -1
  char32_t accelerator = 0;  // upper-cased ASCII letter or digit, or 0
};
Caption ParseCaption(std::string_view sjis);

// Draws the caption at (x, y) (top-left of its cell) with its accelerator underlined; returns
// the advance.
int DrawCaption(FontRenderer& fonts, Image& target, int x, int y, const Caption& caption, const FontSpec& font);

void FrameRaised(Image& target, Rect r, int scale);
void FrameSunken(Image& target, Rect r, int scale);
// A check mark fitted into the square box.
void DrawCheck(Image& target, Rect box, Rgb color);
// A small right-pointing triangle centred in the box.
void DrawArrowRight(Image& target, Rect box, Rgb color);
void HorizontalLine(Image& target, int x0, int x1, int y, int thickness, Rgb color);


}  // namespace ui
}  // namespace orv
