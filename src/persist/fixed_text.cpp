#include "persist/fixed_text.h"

namespace orv {

size_t SjisCutLength(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  size_t i = 0;
  while (i < maxBytes) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    size_t width = lead ? 2 : 1;
    if (i + width > maxBytes) break;
    i += width;
  }
  return i;
}

}  // namespace orv
