#include "logic/variable_store.h"

#include <cstring>

namespace orv {

namespace {
// Names compare over their first 20 bytes, as the fields hold them: a longer name given by a
// script is compared in the form it would be stored in.
template <size_t N>
std::string_view StoredForm(std::string_view name, const FixedText<N>&) {
  return name.substr(0, SjisCutLength(name, N - 1));
}
}  // namespace

int VariableStore::FindNumeric(std::string_view name) const {
  const std::string_view stored = StoredForm(name, numeric[0].name);
  for (int i = 0; i < kNumericVariables; ++i)
    if (numeric[i].name.view() == stored) return i;
  return -1;
}

int VariableStore::FindString(std::string_view name) const {
  const std::string_view stored = StoredForm(name, strings[0].name);
  for (int i = 0; i < kStringVariables; ++i)
    if (strings[i].name.view() == stored) return i;
  return -1;
}

Bytes VariableStore::NumericImage() const {
  Bytes out(kNumericTableBytes, 0);
  for (int i = 0; i < kNumericVariables; ++i) {
    uint8_t* p = out.data() + i * kNumericRecordBytes;
    std::memcpy(p, numeric[i].name.raw().data(), 20);
    PutI32LE(p + 20, numeric[i].value);
  }
  return out;
}

Bytes VariableStore::StringImage() const {
  Bytes out(kStringTableBytes, 0);
  for (int i = 0; i < kStringVariables; ++i) {
    uint8_t* p = out.data() + i * kStringRecordBytes;
    std::memcpy(p, strings[i].name.raw().data(), 20);
    std::memcpy(p + 20, strings[i].value.raw().data(), 255);
  }
  return out;
}

void VariableStore::ReadNumericImage(ByteSpan bytes) {
  for (int i = 0; i < kNumericVariables; ++i) {
    size_t at = i * kNumericRecordBytes;
    if (at + kNumericRecordBytes > bytes.size()) break;
    std::memcpy(numeric[i].name.raw().data(), bytes.data() + at, 20);
    numeric[i].value = GetI32LE(bytes.data() + at + 20);
  }
}

void VariableStore::ReadStringImage(ByteSpan bytes) {
  for (int i = 0; i < kStringVariables; ++i) {
    size_t at = i * kStringRecordBytes;
    if (at + kStringRecordBytes > bytes.size()) break;
    std::memcpy(strings[i].name.raw().data(), bytes.data() + at, 20);
    std::memcpy(strings[i].value.raw().data(), bytes.data() + at + 20, 255);
  }
}

}  // namespace orv
