// Text drawing over arbitrary Shift-JIS bytes, face names and sizes: whatever the script
// holds, drawing stays inside its target and measures what it draws.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text/font_renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orv::FontRenderer fonts;
  if (size < 4) return 0;
  // Layout: size (signed 16 bits), x and y offsets, then "face\0text".
  const int points = int16_t(data[0] | data[1] << 8);
  const int x = int8_t(data[2]) * 4, y = int8_t(data[3]) * 4;
  const std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
  const size_t split = rest.find('\0');
  const std::string_view face = split == std::string_view::npos ? std::string_view() : rest.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? rest : rest.substr(split + 1);
  const orv::FontSpec font{std::string(face), std::min(points, 96), orv::Rgb{255, 255, 255}};
  orv::Image image(64, 32);
  orv::TextLayer layer(64, 32);
  const int drawn = fonts.Draw(image, x, y, text, font);
  if (drawn != fonts.Measure(text, font) || drawn != fonts.Draw(layer, x, y, text, font)) std::abort();
  if (drawn < 0) std::abort();
  return 0;
}
