#include "app/save_slots.h"

#include <string>

#include "logic/variable_store.h"

namespace orv {

Result<void> SaveSlots::Save(int slot, const LocalTime& now, std::string_view comment, const SceneRecord& record) {
  Result<void> saved = files_.Save(slot, now, comment, record.scene, record.strings, record.numeric);
  RefreshCaptions();
  return saved;
}

std::optional<SceneRecord> SaveSlots::Read(std::string_view fileName) const {
  const auto file = files_.Read(fileName);
  if (!file) return std::nullopt;
  VariableStore blank;
  return SceneRecordFromSlotFile(*file, SceneRecord{ResetSceneState(), blank.StringImage(), blank.NumericImage()});
}

void SaveSlots::RefreshCaptions() {
  const auto captions = files_.Captions();
  for (int n = 0; n < kSlotCount; ++n) {
    const auto& caption = captions[size_t(n)];
    if (!caption) continue;
    for (const std::string& item : {"SaveDat" + std::to_string(n), "LoadDat" + std::to_string(n)})
      if (MenuItem* m = menus_.model().Find(item)) m->caption = *caption;
  }
  menus_.Changed();
}

}  // namespace orv
