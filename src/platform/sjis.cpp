#include "platform/sjis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace orv {
namespace {

// Runs iconv over the whole input; a byte sequence that does not convert is replaced by
// `replacement` (already in the target encoding) and skipped by `skip` input bytes.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement,
                    size_t unitSkip) {
  iconv_t cd = iconv_open(to, from);
  // iconv says it failed with (iconv_t)-1.
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);  // NOLINT(performance-no-int-to-ptr)
  std::string out;
  std::vector<char> buffer(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer.data(), dst - buffer.data());
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace the offending unit and go on.
      size_t skip = std::min(srcLeft, unitSkip);
      src += skip;
      srcLeft -= skip;
      out.append(replacement);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view sjis) { return Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", 1); }

std::u32string DecodeCp932(std::string_view sjis) {
  std::string utf32 = Convert("UTF-32LE", "CP932", sjis, std::string("\xFD\xFF\x00\x00", 4), 1);
  std::u32string out;
  out.reserve(utf32.size() / 4);
  for (size_t i = 0; i + 3 < utf32.size(); i += 4)
    out.push_back(char32_t(uint8_t(utf32[i]) | uint8_t(utf32[i + 1]) << 8 | uint8_t(utf32[i + 2]) << 16 |
                           uint32_t(uint8_t(utf32[i + 3])) << 24));
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  // Skip a whole UTF-8 sequence on failure: find its length from the lead byte.
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    size_t len = 1;
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xF0) len = 4;
    else if (c >= 0xE0) len = 3;
    else if (c >= 0xC0) len = 2;
    len = std::min(len, utf8.size() - i);
    out += Convert("CP932", "UTF-8", utf8.substr(i, len), "?", len);
    i += len;
  }
  return out;
}

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

}  // namespace orv
