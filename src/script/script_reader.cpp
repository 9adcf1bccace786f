#include "script/script_reader.h"

namespace orv {

void ScriptReader::SetSource(std::string_view text) {
  size_t zero = text.find('\0');
  source_ = zero == std::string_view::npos ? text : text.substr(0, zero);
  cursor_ = 0;
  ended_ = false;
}

char ScriptReader::ReadToken(std::string& out, int maxBytes, bool dropBlanks) {
  out.clear();
  if (ended_) return 0;
  for (int taken = 0; taken < maxBytes; ++taken) {
    if (cursor_ >= source_.size()) {
      ended_ = true;
      return 0;
    }
    char c = source_[cursor_++];
    if (dropBlanks && (c == ' ' || c == '\t')) continue;
    if (delimiters_.find(c) != std::string::npos) return c;
    out += c;
  }
  return 0;
}

std::string ScriptReader::ReadFileNameArgument() {
  std::string name;
  SetDelimiters("\"");
  ReadToken(name, 256, true);
  ReadToken(name, 256, true);
  return name;
}

int ClassifyCharacter(std::string_view text) {
  auto at = [&](size_t i) -> unsigned { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  const unsigned b0 = at(0), b1 = at(1), b2 = at(2);
  if (b0 == 0x1B) {
    if (b1 == 0x24 && b2 == 0x42) return 16;
    if (b1 == 0x24 && b2 == 0x40) return 32;
    if (b1 == 0x28 && b2 == 0x4A) return 64;
    if (b1 == 0x28 && b2 == 0x42) return 128;
    return 0;
  }
  int bits = 0;
  if (b0 >= 0xA0 && b0 <= 0xDF) bits |= 1;
  if (((b0 >= 0x81 && b0 <= 0x9F) || (b0 >= 0xE0 && b0 <= 0xFC)) && b1 >= 0x40 && b1 <= 0xFC && b1 != 0x7F)
    bits |= 2;
  if (b0 == 0x8E && b1 >= 0xA0 && b1 <= 0xDF) bits |= 4;
  if (b0 >= 0xA1 && b0 <= 0xFE && b1 >= 0xA1 && b1 <= 0xFE) bits |= 8;
  return bits;
}

size_t CharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  return (ClassifyCharacter(text) != 0 && text.size() >= 2) ? 2 : 1;
}

int32_t AtoiWrapping(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10u + uint32_t(text[i] - '0');
  return int32_t(negative ? 0u - value : value);
}

}  // namespace orv
