#pragma once
// The ten save slots as the File menu shows them: a slot written shows its new caption under
// both Save and Load at once, and a slot read back fills what an older or shorter file leaves
// out as a fresh scene has it.
#include <optional>
#include <string_view>

#include "app/menus.h"
#include "persist/scene_record.h"
#include "persist/slot_files.h"
#include "platform/result.h"
#include "platform/write_folder.h"

namespace orv {

class SaveSlots {
 public:
  SaveSlots(const WriteFolder& folder, Menus& menus) : files_(folder), menus_(menus) {}

  // Writes `record` into slot `slot` (0 to 9) under a caption made of `now` and `comment`.
  // The menus show what the slots hold afterwards, whether or not the write succeeded.
  Result<void> Save(int slot, const LocalTime& now, std::string_view comment, const SceneRecord& record);
  // The save point in the slot file `fileName` ("data_3.dat", or any name a choice builds);
  // nothing when there is no such file.
  std::optional<SceneRecord> Read(std::string_view fileName) const;
  // The Save and Load items take the captions of the slots on disk; an empty slot keeps its own.
  void RefreshCaptions();

 private:
  SlotFiles files_;
  Menus& menus_;
};

}  // namespace orv
