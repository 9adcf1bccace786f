#include "persist/slot_files.h"

namespace orv {

OsStatus SlotFiles::Save(int slot, const LocalTime& now, std::string_view comment, const SceneState& savePoint,
                             ByteSpan stringTable, ByteSpan numericTable) const {
  const Bytes file = EncodeSlotFile(SlotCaption(slot, now, comment), savePoint, stringTable, numericTable);
  // Replace the very file loading reads, even where both letter cases of the name exist.
  if (auto loaded = folder_.FindHere(SlotLoadName(slot))) return folder_.WritePath(*loaded, file);
  return folder_.Write(SlotSaveName(slot), file);
}

std::optional<Bytes> SlotFiles::Read(std::string_view name) const { return folder_.ReadPrefix(name, kSlotFileBytes); }

std::optional<std::string> SlotFiles::Caption(int slot) const {
  auto header = folder_.ReadPrefix(SlotLoadName(slot), kSlotHeaderBytes);
  if (!header) return std::nullopt;
  return SlotFileCaption(*header);
}

}  // namespace orv
