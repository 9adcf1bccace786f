// Save slots, variable files and the settings file, read as loading, PLOAD and start-up read
// them: whatever the bytes, each read ends with a defined result inside its buffers.
#include <cstdint>
#include <set>
#include <string>

#include "logic/save_hooks.h"
#include "logic/variable_store.h"
#include "persist/settings_file.h"
#include "persist/slot_file.h"
#include "persist/variable_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::ByteSpan bytes(data, size);

  const orv::SlotFileParts parts = orv::SplitSlotFile(bytes);
  orv::SlotFileCaption(parts.header);
  orv::SceneState scene;
  orv::ReadSceneRecord(parts.scene, scene);
  orv::VariableStore vars;
  vars.ReadStringImage(orv::OverlayPrefix(vars.StringImage(), parts.strings));
  vars.ReadNumericImage(orv::OverlayPrefix(vars.NumericImage(), parts.numeric));
  orv::SerializeSceneState(scene);

  // Look up every name the file itself holds, numeric and string, and the empty name: each
  // once, as the tables of a file made by fuzzing are mostly empty names over and over.
  std::set<std::string> seen;
  for (const auto& v : vars.numeric) {
    if (!seen.insert("!" + v.name.str()).second) continue;
    orv::PloadArguments args{"f", '!', v.name.str()};
    orv::ApplyPload(args, bytes, vars);
  }
  for (const auto& v : vars.strings) {
    if (!seen.insert("&" + v.name.str()).second) continue;
    orv::PloadArguments args{"f", '&', v.name.str()};
    orv::ApplyPload(args, bytes.subspan(bytes.size() > 2320 ? 2320 : 0), vars);
  }

  orv::ReadSettingsFile(bytes);
  return 0;
}
