#pragma once
// The script's variables: 256 numeric (20-byte name, signed 32-bit value) and 40 string
// (20-byte name, 255-byte value) entries. The two table images are what save slots and
// variable files hold, byte for byte.
#include <array>
#include <cstdint>
#include <string_view>

#include "persist/fixed_text.h"
#include "platform/bytes.h"

namespace orv {

inline constexpr int kNumericVariables = 256;
inline constexpr int kStringVariables = 40;
inline constexpr size_t kNumericRecordBytes = 24;
inline constexpr size_t kStringRecordBytes = 275;
inline constexpr size_t kNumericTableBytes = kNumericVariables * kNumericRecordBytes;  // 6144
inline constexpr size_t kStringTableBytes = kStringVariables * kStringRecordBytes;     // 11000

struct NumericVariable {
  FixedText<20> name;
  int32_t value = 0;
};

struct StringVariable {
  FixedText<20> name;
  FixedText<255> value;
};

struct VariableStore {
  std::array<NumericVariable, kNumericVariables> numeric{};
  std::array<StringVariable, kStringVariables> strings{};

  void Clear() { *this = VariableStore{}; }

  // Index of the first entry, used or not, whose whole name equals `name` (so the empty name
  // finds the first free entry), or -1.
  int FindNumeric(std::string_view name) const;
  int FindString(std::string_view name) const;
  // The first entry with an empty name, or -1 when the table is full.
  int FirstFreeNumeric() const { return FindNumeric(""); }
  int FirstFreeString() const { return FindString(""); }

  Bytes NumericImage() const;
  Bytes StringImage() const;
  // Short images leave the rest of the table as it is.
  void ReadNumericImage(ByteSpan bytes);
  void ReadStringImage(ByteSpan bytes);
};

}  // namespace orv
