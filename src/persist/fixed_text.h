#pragma once
// A zero-terminated Shift-JIS text of fixed capacity, as the game's records keep them. Longer
// text is cut at capacity - 1 bytes, never spilling into the next field; a cut never leaves
// half of a two-byte character at the end.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orv {

// The length of `text` cut to at most maxBytes without splitting a Shift-JIS character.
size_t SjisCutLength(std::string_view text, size_t maxBytes);

template <size_t N>
class FixedText {
 public:
  static constexpr size_t kCapacity = N;
  FixedText() { bytes_.fill(0); }
  explicit FixedText(std::string_view text) { Set(text); }

  void Set(std::string_view text) {
    bytes_.fill(0);
    text = text.substr(0, text.find('\0'));
    size_t n = SjisCutLength(text, N - 1);
    std::memcpy(bytes_.data(), text.data(), n);
  }
  std::string str() const { return std::string(view()); }
  // The text in place, valid while the field is unchanged.
  std::string_view view() const {
    const void* zero = std::memchr(bytes_.data(), 0, N);
    size_t n = zero ? static_cast<const uint8_t*>(zero) - bytes_.data() : N;
    return std::string_view(reinterpret_cast<const char*>(bytes_.data()), n);
  }
  bool empty() const { return bytes_[0] == 0; }
  void Clear() { bytes_.fill(0); }
  // The raw field, including whatever follows the terminator in a record read from a file.
  std::array<uint8_t, N>& raw() { return bytes_; }
  const std::array<uint8_t, N>& raw() const { return bytes_; }

  friend bool operator==(const FixedText&, const FixedText&) = default;

 private:
  std::array<uint8_t, N> bytes_;
};

}  // namespace orv
