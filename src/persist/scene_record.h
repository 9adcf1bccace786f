#pragma once
// A save point as a value: the scene record of the last save point and the two variable
// tables as they stand. A slot file stores one; a restore, from a slot or from memory, takes
// one back.
#include "persist/scene_state.h"
#include "platform/bytes.h"

namespace orv {

struct SceneRecord {
  SceneState scene;  // the scene at the save point
  Bytes strings;     // the string-variable table's byte image
  Bytes numeric;     // the numeric-variable table's byte image

  friend bool operator==(const SceneRecord&, const SceneRecord&) = default;
};

// The scene as a reset leaves it: the first font named, no sound effect, no CD track, every
// other field zero.
SceneState ResetSceneState();

// The record a slot file holds. Every byte the file holds replaces that byte of `blank`; what
// a short file does not reach stays as in `blank` (the record of a reset scene, when loading).
SceneRecord SceneRecordFromSlotFile(ByteSpan file, SceneRecord blank);

}  // namespace orv
