#include "persist/slot_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>

namespace orv {

std::string SlotSaveName(int slot) { return "Data_" + std::to_string(slot) + ".dat"; }
std::string SlotLoadName(int slot) { return "data_" + std::to_string(slot) + ".dat"; }
std::string EmptySlotCaption(int slot) { return std::to_string(slot) + ": ---- --/-- --:--:--"; }

std::string SlotCaption(int slot, const LocalTime& time, std::string_view comment) {
  std::tm parts{};
  parts.tm_year = time.year - 1900;
  parts.tm_mon = time.month - 1;
  parts.tm_mday = time.day;
  parts.tm_hour = time.hour;
  parts.tm_min = time.minute;
  parts.tm_sec = time.second;
  char formatted[128];
  const size_t n = std::strftime(formatted, sizeof formatted, kSlotTimePattern, &parts);
  return std::to_string(slot) + std::string(formatted, n) + std::string(comment);
}

Bytes EncodeSlotFile(std::string_view caption, const SceneState& savePoint, ByteSpan stringTable,
                     ByteSpan numericTable) {
  Bytes out(kSlotFileBytes, 0);
  // The caption keeps its terminator; bytes after it stay zero.
  // Copies that take nothing from an empty source (whose data() may be null) are fine.
  std::copy_n(caption.data(), std::min(caption.size(), kSlotHeaderBytes - 1), out.data());
  const auto scene = SerializeSceneState(savePoint);
  std::memcpy(out.data() + kSlotSceneAt, scene.data(), scene.size());
  std::copy_n(stringTable.data(), std::min(stringTable.size(), kSlotStringTableBytes), out.data() + kSlotStringsAt);
  std::copy_n(numericTable.data(), std::min(numericTable.size(), kSlotNumericTableBytes), out.data() + kSlotNumericAt);
  return out;
}

SlotFileParts SplitSlotFile(ByteSpan file) {
  auto part = [&](size_t at, size_t size) {
    if (at >= file.size()) return ByteSpan{};
    return file.subspan(at, std::min(size, file.size() - at));
  };
  return SlotFileParts{part(0, kSlotHeaderBytes), part(kSlotSceneAt, kSceneStateBytes),
                       part(kSlotStringsAt, kSlotStringTableBytes), part(kSlotNumericAt, kSlotNumericTableBytes)};
}

std::string SlotFileCaption(ByteSpan header) {
  header = header.first(std::min(header.size(), kSlotHeaderBytes));
  if (header.empty()) return "";
  return CStringField(header.data(), header.size());
}

Bytes OverlayPrefix(ByteSpan image, ByteSpan prefix) {
  Bytes out(image.begin(), image.end());
  std::copy_n(prefix.begin(), std::min(prefix.size(), out.size()), out.begin());
  return out;
}

void ReadSceneRecord(ByteSpan record, SceneState& into) {
  const auto current = SerializeSceneState(into);
  DeserializeSceneState(OverlayPrefix(current, record), into);
}

}  // namespace orv
