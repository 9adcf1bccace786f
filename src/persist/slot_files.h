#pragma once
// The ten save slots as files in the player's write folder. Saving replaces a slot's file
// safely (a failed save keeps the previous one whole); loading and the captions read at most
// the 19464 bytes a slot holds.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "persist/scene_state.h"
#include "persist/slot_file.h"
#include "platform/clock.h"
#include "platform/write_folder.h"

namespace orv {

class SlotFiles {
 public:
  explicit SlotFiles(const WriteFolder& folder) : folder_(folder) {}

  // Writes slot `slot` (0 to 9): the caption from the time and `comment`, the save point's
  // scene and the live variable tables.
  Result<void> Save(int slot, const LocalTime& now, std::string_view comment, const SceneState& savePoint,
                    ByteSpan stringTable, ByteSpan numericTable) const;
  // The slot file `name` names ("data_3.dat", or any name a choice builds): its first 19464
  // bytes, fewer when it is shorter; nothing when there is no such file.
  std::optional<Bytes> Read(std::string_view name) const;
  // The caption each slot's file holds; nothing for a slot without a file. The ten are read
  // together, the folders checked once for all.
  std::array<std::optional<std::string>, kSlotCount> Captions() const;

 private:
  const WriteFolder& folder_;
};

}  // namespace orv
