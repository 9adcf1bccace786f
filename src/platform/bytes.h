#pragma once
// Little-endian and big-endian field access over byte spans, bounds-checked by the caller's
// span: every reader returns nothing rather than read past the end.
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

using Bytes = std::vector<uint8_t>;
using ByteSpan = std::span<const uint8_t>;

// The bytes of a text, for writing it as it is.
inline ByteSpan AsBytes(std::string_view text) {
  return ByteSpan(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

inline std::optional<uint32_t> ReadU32LE(ByteSpan b, size_t at) {
  if (at > b.size() || b.size() - at < 4) return std::nullopt;
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline std::optional<uint16_t> ReadU16LE(ByteSpan b, size_t at) {
  if (at > b.size() || b.size() - at < 2) return std::nullopt;
  return uint16_t(b[at] | b[at + 1] << 8);
}
inline std::optional<uint32_t> ReadU32BE(ByteSpan b, size_t at) {
  if (at > b.size() || b.size() - at < 4) return std::nullopt;
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | uint32_t(b[at + 3]);
}
inline std::optional<uint16_t> ReadU16BE(ByteSpan b, size_t at) {
  if (at > b.size() || b.size() - at < 2) return std::nullopt;
  return uint16_t(b[at] << 8 | b[at + 1]);
}

// Unchecked little-endian access for fixed-size records whose size the caller has checked.
inline uint32_t GetU32LE(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int32_t GetI32LE(const uint8_t* p) { return int32_t(GetU32LE(p)); }
inline void PutU32LE(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void PutI32LE(uint8_t* p, int32_t v) { PutU32LE(p, uint32_t(v)); }

inline void AppendU32LE(Bytes& out, uint32_t v) {
  uint8_t b[4];
  PutU32LE(b, v);
  out.insert(out.end(), b, b + 4);
}

// The text of a zero-terminated field: the bytes before the first zero, or all of them.
inline std::string CStringField(const uint8_t* p, size_t capacity) {
  const void* zero = std::memchr(p, 0, capacity);
  return std::string(reinterpret_cast<const char*>(p), zero ? static_cast<const uint8_t*>(zero) - p : capacity);
}

// ASCII upper-casing as the kit does it: only a..z change, every other byte (Shift-JIS
// included) stays as it is.
inline std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}
inline bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace orv
