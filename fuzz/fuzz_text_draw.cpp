// Text drawing over arbitrary Shift-JIS bytes, face names and sizes: whatever the script
// holds, drawing stays inside its target and measures what it draws.
//
// Every new face name costs a fontconfig search and every new size new glyphs from FreeType,
// neither of them our code, so the renderer sees a few faces and sizes chosen by the input;
// the input's own face name goes through the name table, which is ours.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text/face_names.h"
#include "platform/text/font_renderer.h"

namespace {

// Nothing, the smallest, the usual, and sizes whose glyphs overhang a 64 x 32 target. Drawing
// and measuring walk every pixel of every glyph, so larger sizes only cost time.
constexpr std::array<int, 8> kPointSizes{-5, 0, 1, 9, 12, 16, 24, 40};
// Table names in their Shift-JIS and ASCII spellings, the default, and names fontconfig
// must settle (a family it has, one nobody has).
constexpr std::array<std::string_view, 8> kFaces{
    "", "\x82\x6C\x82\x72 \x96\xBE\x92\xA9", "MS Gothic", "\x82\x6C\x82\x72\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E",
    "ms ui gothic", "DejaVu Sans", "No Such Face", "\x82\x6C\x82\x72\x81\x40\x96\xBE\x92\xA9"};

void CheckFaceName(std::string_view face) {
  const std::string normalized = orv::NormalizeFaceName(face);
  for (const char c : normalized)
    if (c == ' ' || c == '\t' || (c >= 'a' && c <= 'z')) std::abort();
  if (face.empty() && !orv::SubstituteFace(face)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orv::FontRenderer fonts;
  if (size < 4) return 0;
  // Layout: size and face choices, x and y offsets, then "face name\0text".
  const int points = kPointSizes[data[0] % kPointSizes.size()];
  const std::string_view face = kFaces[data[1] % kFaces.size()];
  const int x = int8_t(data[2]) * 4, y = int8_t(data[3]) * 4;
  const std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
  const size_t split = rest.find('\0');
  const std::string_view text = split == std::string_view::npos ? rest : rest.substr(split + 1);
  if (split != std::string_view::npos) CheckFaceName(rest.substr(0, split));

  const orv::FontSpec font{std::string(face), points, orv::Rgb{255, 255, 255}};
  orv::Image image(64, 32);
  orv::TextLayer layer(64, 32);
  const int drawn = fonts.Draw(image, x, y, text, font);
  if (drawn != fonts.Measure(text, font) || drawn != fonts.Draw(layer, x, y, text, font)) std::abort();
  if (drawn < 0 || (points <= 0 && drawn != 0)) std::abort();
  return 0;
}
