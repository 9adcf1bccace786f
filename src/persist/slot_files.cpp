#include "persist/slot_files.h"

namespace orv {

Result<void> SlotFiles::Save(int slot, const LocalTime& now, std::string_view comment, const SceneState& savePoint,
                             ByteSpan stringTable, ByteSpan numericTable) const {
  const Bytes file = EncodeSlotFile(SlotCaption(slot, now, comment), savePoint, stringTable, numericTable);
  // Replace the very file loading reads, even where both letter cases of the name exist.
  const std::string loadName = SlotLoadName(slot);
  return folder_.Write(folder_.FindHere(loadName) ? loadName : SlotSaveName(slot), file);
}

std::optional<Bytes> SlotFiles::Read(std::string_view name) const { return folder_.ReadPrefix(name, kSlotFileBytes); }

std::array<std::optional<std::string>, kSlotCount> SlotFiles::Captions() const {
  std::vector<std::string> names;
  for (int slot = 0; slot < kSlotCount; ++slot) names.push_back(SlotLoadName(slot));
  const auto headers = folder_.ReadPrefixes(names, kSlotHeaderBytes);
  std::array<std::optional<std::string>, kSlotCount> captions;
  for (size_t slot = 0; slot < captions.size(); ++slot)
    if (headers[slot]) captions[slot] = SlotFileCaption(*headers[slot]);
  return captions;
}

}  // namespace orv
