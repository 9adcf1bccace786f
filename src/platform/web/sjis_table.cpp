// Code page 932 in the browser. The C library here has no CP932 (its Shift_JIS lacks the NEC
// and IBM rows and maps some symbols differently), but the browser's own Shift_JIS decoder is
// code page 932: the page fills the table once from it, and both directions are looked up.
// Undecodable bytes and unknown characters get the same replacements as the desktop's iconv:
// U+FFFD per byte, "?" per character.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/sjis.h"

extern "C" void orvane_web_cp932_table(uint16_t* codes);

namespace orv {
namespace {

bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

class Cp932Table {
 public:
  Cp932Table() : decode_(0x10000, 0) {
    orvane_web_cp932_table(decode_.data());
    // Windows writes a character with two codes by its first, except that the NEC-selected
    // copies of IBM's extensions (rows 0xED and 0xEE) give way to IBM's own.
    for (uint32_t code = 0x80; code < 0x10000; ++code)
      if (decode_[code] != 0 && !(code >= 0xED40 && code <= 0xEEFC)) encode_.emplace(decode_[code], uint16_t(code));
    for (uint32_t code = 0xED40; code <= 0xEEFC; ++code)
      if (decode_[code] != 0) encode_.emplace(decode_[code], uint16_t(code));
  }

  // The character at the start of `rest` and how many bytes it took.
  char32_t Decode(std::string_view rest, size_t& length) const {
    const uint8_t lead = uint8_t(rest[0]);
    length = 1;
    if (lead < 0x80) return lead;
    if (IsLeadByte(lead) && rest.size() >= 2) {
      if (const uint16_t code = decode_[size_t(lead) << 8 | uint8_t(rest[1])]; code != 0) {
        length = 2;
        return code;
      }
      return 0xFFFD;
    }
    const uint16_t single = decode_[lead];
    return single != 0 ? single : 0xFFFD;
  }

  void Encode(char32_t c, std::string& out) const {
    if (c < 0x80) {
      out += char(c);
      return;
    }
    const auto found = encode_.find(c);
    if (found == encode_.end()) {
      out += '?';
      return;
    }
    if (found->second > 0xFF) out += char(found->second >> 8);
    out += char(found->second & 0xFF);
  }

 private:
  std::vector<uint16_t> decode_;  // by code (lead << 8 | trail, or a single byte); 0: none
  std::unordered_map<char32_t, uint16_t> encode_;
};

const Cp932Table& Table() {
  // Built once and never changed after.
  static const Cp932Table table;
  return table;
}

}  // namespace

std::u32string DecodeCp932(std::string_view sjis) {
  std::u32string out;
  out.reserve(sjis.size());
  const Cp932Table& table = Table();
  for (size_t i = 0; i < sjis.size();) {
    size_t length = 1;
    out.push_back(table.Decode(sjis.substr(i), length));
    i += length;
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view sjis) { return EncodeUtf8(DecodeCp932(sjis)); }

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  const Cp932Table& table = Table();
  for (char32_t c : DecodeUtf8(utf8)) table.Encode(c, out);
  return out;
}

}  // namespace orv
