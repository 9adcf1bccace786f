// Code page 932 through the C library's iconv, which matches Windows on every two-byte code.
#include "platform/sjis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace orv {
namespace {

// The conversions the player makes, each with one iconv descriptor per thread: opening one
// sets up the code page's tables, which costs far more than converting a line, and text is
// converted at every character drawn and every message shown.
enum class Conversion { Cp932ToUtf8, Cp932ToUtf32, Utf8ToCp932 };

class Descriptor {
 public:
  Descriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Descriptor() {
    if (usable()) iconv_close(cd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  // iconv says it failed with (iconv_t)-1.
  bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

iconv_t DescriptorFor(Conversion conversion) {
  thread_local Descriptor toUtf8("UTF-8", "CP932");
  thread_local Descriptor toUtf32("UTF-32LE", "CP932");
  thread_local Descriptor toCp932("CP932", "UTF-8");
  const Descriptor& d = conversion == Conversion::Cp932ToUtf8    ? toUtf8
                        : conversion == Conversion::Cp932ToUtf32 ? toUtf32
                                                                 : toCp932;
  return d.usable() ? d.get() : nullptr;
}

// Input units are skipped one byte at a time, or as the whole sequence its lead byte
// announces.
size_t SingleByte(std::string_view) { return 1; }
size_t Utf8SequenceLength(std::string_view rest) {
  const unsigned char c = static_cast<unsigned char>(rest[0]);
  const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return std::min(length, rest.size());
}

// Code page 932 and UTF-8 agree on ASCII, and most of what is converted (names, keywords,
// numbers) is ASCII.
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Runs iconv over the whole input; an input unit that does not convert is replaced by
// `replacement` (already in the target encoding) and skipped.
std::string Convert(Conversion conversion, std::string_view in, std::string_view replacement,
                    size_t (*unitLength)(std::string_view rest)) {
  if (conversion != Conversion::Cp932ToUtf32 && IsAscii(in)) return std::string(in);
  iconv_t cd = DescriptorFor(conversion);
  if (cd == nullptr) return std::string(in);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
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
      const size_t skip = unitLength(std::string_view(src, srcLeft));
      src += skip;
      srcLeft -= skip;
      out.append(replacement);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view sjis) {
  return Convert(Conversion::Cp932ToUtf8, sjis, "\xEF\xBF\xBD", SingleByte);
}

std::u32string DecodeCp932(std::string_view sjis) {
  if (IsAscii(sjis)) return std::u32string(sjis.begin(), sjis.end());
  std::string utf32 = Convert(Conversion::Cp932ToUtf32, sjis, std::string("\xFD\xFF\x00\x00", 4), SingleByte);
  std::u32string out;
  out.reserve(utf32.size() / 4);
  for (size_t i = 0; i + 3 < utf32.size(); i += 4)
    out.push_back(char32_t(uint8_t(utf32[i]) | uint8_t(utf32[i + 1]) << 8 | uint8_t(utf32[i + 2]) << 16 |
                           uint32_t(uint8_t(utf32[i + 3])) << 24));
  return out;
}

// A character without a code page 932 form, or a broken sequence, becomes one "?" for the
// whole sequence its lead byte announces.
std::string Utf8ToCp932(std::string_view utf8) {
  return Convert(Conversion::Utf8ToCp932, utf8, "?", Utf8SequenceLength);
}

}  // namespace orv
