#include "persist/scene_record.h"

#include "persist/slot_file.h"
#include "platform/sjis.h"

namespace orv {

SceneState ResetSceneState() {
  SceneState scene;
  scene.fontName.Set(Sj("ＭＳ 明朝"));
  scene.waveMode = -1;
  scene.cdMode = -1;
  return scene;
}

SceneRecord SceneRecordFromSlotFile(ByteSpan file, SceneRecord blank) {
  const SlotFileParts parts = SplitSlotFile(file);
  ReadSceneRecord(parts.scene, blank.scene);
  blank.strings = OverlayPrefix(blank.strings, parts.strings);
  blank.numeric = OverlayPrefix(blank.numeric, parts.numeric);
  return blank;
}

}  // namespace orv
