#pragma once
// The player's settings file "orvane.ini": despite its name five 32-bit little-endian numbers,
// 20 bytes: the full-screen flag, the page-mode flag, the window's top and left edges and the
// message speed.
#include <cstdint>
#include <optional>

#include "platform/bytes.h"

namespace orv {

inline constexpr const char* kSettingsFileName = "orvane.ini";
inline constexpr size_t kSettingsFileBytes = 20;

struct PlayerSettings {
  bool fullScreen = false;
  bool pageMode = false;
  int32_t windowTop = 0;
  int32_t windowLeft = 0;
  int32_t messageSpeed = 0;  // 0 (never chosen) to 5
};

Bytes EncodeSettingsFile(const PlayerSettings& settings);

// What reading the file changes. Only the fields the file holds whole count; a value outside
// its field's range changes nothing, as if the field were missing.
struct SettingsToApply {
  std::optional<int32_t> windowTop, windowLeft;  // applied top first, then left
  bool pageMode = false;                         // check page mode (never uncheck it)
  std::optional<int> speedLevel;                 // 1 .. 5
  bool fullScreen = false;                       // the full-screen action, performed twice
};
SettingsToApply ReadSettingsFile(ByteSpan file);

// No screen reaches this far: an edge beyond it is a damaged value, not a place.
inline constexpr int32_t kFarthestWindowEdge = 32767;

}  // namespace orv
