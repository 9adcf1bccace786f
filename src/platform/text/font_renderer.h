#pragma once
// Message text drawing with FreeType and fontconfig. Windows face names map to metric-
// compatible substitutes through our own table; anything else goes through fontconfig with
// Japanese preferred. Sizes are points at 96 pixels per inch (size 12 draws 16-pixel
// characters). Text arrives as Shift-JIS bytes and is decoded only here.
//
// Every glyph advances by a whole number of pixels and sits at a whole-pixel pen position,
// so text typed one character at a time (x += Measure(character)) lands on exactly the pixels
// of the same text drawn at once. Sizes of 0 or less draw nothing and measure 0; sizes above
// kMaxPointSize draw at kMaxPointSize. Characters a face lacks come from a Japanese fallback
// font; control characters draw nothing and do not advance. Without any usable font at all,
// drawing draws nothing and measures 0.
#include <memory>
#include <string>
#include <string_view>

#include "platform/image.h"
#include "platform/text_layer.h"

namespace orv {

struct FontSpec {
  std::string face;  // Shift-JIS face name as the game gives it, e.g. "ＭＳ 明朝"
  int size = 12;     // points at 96 dpi
  Rgb color;
};

class FontRenderer {
 public:
  static constexpr int kMaxPointSize = 512;

  FontRenderer();
  ~FontRenderer();
  FontRenderer(const FontRenderer&) = delete;
  FontRenderer& operator=(const FontRenderer&) = delete;

  // Draws the text with the top-left of its character cell at (x, y), blending by coverage;
  // returns the advance in pixels (what Measure returns).
  int Draw(Image& target, int x, int y, std::string_view sjis, const FontSpec& font);
  int Draw(TextLayer& target, int x, int y, std::string_view sjis, const FontSpec& font);
  // The same for text already decoded (menus and dialogs of the backends).
  int DrawUnicode(Image& target, int x, int y, std::u32string_view text, const FontSpec& font);
  int Measure(std::string_view sjis, const FontSpec& font);
  int MeasureUnicode(std::u32string_view text, const FontSpec& font);
  // Height of the character cell in pixels for this size.
  int CellHeight(const FontSpec& font);
  // The font file a face name resolves to; empty when no font at all was found.
  std::string ResolveFaceFile(std::string_view sjisFace);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orv
