#pragma once
// The variable file PSAVE writes and PLOAD reads: the string-variable table (40 records of a
// 20-byte name and a 255-byte value) and then the numeric table (256 records of a 20-byte name
// and a 32-bit little-endian value), 17144 bytes with no header: the last 17144 bytes of a
// save slot.
#include <optional>
#include <string>
#include <string_view>

#include "platform/bytes.h"

namespace orv {

inline constexpr size_t kVariableFileStringTableBytes = 11000;
inline constexpr size_t kVariableFileNumericTableBytes = 6144;
inline constexpr size_t kVariableFileBytes = kVariableFileStringTableBytes + kVariableFileNumericTableBytes;

Bytes EncodeVariableFile(ByteSpan stringTable, ByteSpan numericTable);

// A variable file as PLOAD reads it: its first 17144 bytes; what a short file lacks reads as
// zeros (empty names, which no lookup finds).
class VariableFile {
 public:
  explicit VariableFile(ByteSpan file);

  // The value of the first record whose name is `name`, compared as the 20-byte field holds a
  // name; nothing for the empty name or a name no record has.
  std::optional<int32_t> FindNumeric(std::string_view name) const;
  // The value's text, up to its terminator (255 bytes when it has none).
  std::optional<std::string> FindString(std::string_view name) const;

 private:
  Bytes image_;
};

}  // namespace orv
