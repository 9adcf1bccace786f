#include "persist/variable_file.h"

#include <algorithm>
#include <cstring>

#include "persist/fixed_text.h"

namespace orv {
namespace {

constexpr size_t kNameBytes = 20;
constexpr size_t kStringRecordBytes = 275;
constexpr size_t kStringValueBytes = 255;
constexpr size_t kNumericRecordBytes = 24;
constexpr size_t kStringRecords = kVariableFileStringTableBytes / kStringRecordBytes;     // 40
constexpr size_t kNumericRecords = kVariableFileNumericTableBytes / kNumericRecordBytes;  // 256

// A name given by a script compares in the form its 20-byte field would hold it.
std::string_view StoredForm(std::string_view name) { return name.substr(0, SjisCutLength(name, kNameBytes - 1)); }
bool NameMatches(const uint8_t* field, std::string_view storedName) {
  const void* end = std::memchr(field, 0, kNameBytes);
  const size_t length = end ? size_t(static_cast<const uint8_t*>(end) - field) : kNameBytes;
  return std::string_view(reinterpret_cast<const char*>(field), length) == storedName;
}

}  // namespace

Bytes EncodeVariableFile(ByteSpan stringTable, ByteSpan numericTable) {
  Bytes out(kVariableFileBytes, 0);
  std::copy_n(stringTable.data(), std::min(stringTable.size(), kVariableFileStringTableBytes), out.data());
  std::copy_n(numericTable.data(), std::min(numericTable.size(), kVariableFileNumericTableBytes),
              out.data() + kVariableFileStringTableBytes);
  return out;
}

VariableFile::VariableFile(ByteSpan file) : image_(kVariableFileBytes, 0) {
  std::copy_n(file.begin(), std::min(file.size(), kVariableFileBytes), image_.begin());
}

std::optional<int32_t> VariableFile::FindNumeric(std::string_view name) const {
  if (name.empty()) return std::nullopt;
  const std::string_view stored = StoredForm(name);
  for (size_t i = 0; i < kNumericRecords; ++i) {
    const uint8_t* record = image_.data() + kVariableFileStringTableBytes + i * kNumericRecordBytes;
    if (NameMatches(record, stored)) return GetI32LE(record + kNameBytes);
  }
  return std::nullopt;
}

std::optional<std::string> VariableFile::FindString(std::string_view name) const {
  if (name.empty()) return std::nullopt;
  const std::string_view stored = StoredForm(name);
  for (size_t i = 0; i < kStringRecords; ++i) {
    const uint8_t* record = image_.data() + i * kStringRecordBytes;
    if (NameMatches(record, stored)) return CStringField(record + kNameBytes, kStringValueBytes);
  }
  return std::nullopt;
}

}  // namespace orv
