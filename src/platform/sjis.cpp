// UTF-8 on its own: the same whatever decodes code page 932 on this platform.
#include "platform/sjis.h"

namespace orv {

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (i + len > utf8.size()) len = 1;
    char32_t code = len == 1 ? (c < 0x80 ? c : 0xFFFD) : char32_t(c & (0xFF >> (len + 1)));
    for (size_t k = 1; k < len; ++k) code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(code);
    i += len;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {
// Takes one blank (a space, a tab, a line break, an ideographic space) off the front or the back.
bool TakeBlank(std::string_view& utf8, bool atFront) {
  static constexpr std::string_view kBlanks[] = {" ", "\t", "\r", "\n", "\u3000"};
  for (std::string_view blank : kBlanks) {
    if (atFront && utf8.starts_with(blank)) {
      utf8.remove_prefix(blank.size());
      return true;
    }
    if (!atFront && utf8.ends_with(blank)) {
      utf8.remove_suffix(blank.size());
      return true;
    }
  }
  return false;
}
}  // namespace

std::string_view TrimmedText(std::string_view utf8) {
  while (TakeBlank(utf8, true)) {}
  while (TakeBlank(utf8, false)) {}
  return utf8;
}

}  // namespace orv
