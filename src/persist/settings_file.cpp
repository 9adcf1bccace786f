#include "persist/settings_file.h"

namespace orv {

Bytes EncodeSettingsFile(const PlayerSettings& s) {
  Bytes out;
  out.reserve(kSettingsFileBytes);
  AppendU32LE(out, s.fullScreen ? 1 : 0);
  AppendU32LE(out, s.pageMode ? 1 : 0);
  AppendU32LE(out, uint32_t(s.windowTop));
  AppendU32LE(out, uint32_t(s.windowLeft));
  AppendU32LE(out, uint32_t(s.messageSpeed));
  return out;
}

SettingsToApply ReadSettingsFile(ByteSpan file) {
  auto field = [&](size_t index) -> std::optional<int32_t> {
    auto value = ReadU32LE(file, index * 4);
    if (!value) return std::nullopt;
    return int32_t(*value);
  };
  auto edge = [](std::optional<int32_t> v) -> std::optional<int32_t> {
    if (v && (*v < -kFarthestWindowEdge || *v > kFarthestWindowEdge)) return std::nullopt;
    return v;
  };
  SettingsToApply apply;
  apply.fullScreen = field(0) == 1;
  apply.pageMode = field(1) == 1;
  apply.windowTop = edge(field(2));
  apply.windowLeft = edge(field(3));
  if (auto speed = field(4); speed && *speed >= 1 && *speed <= 5) apply.speedLevel = int(*speed);
  return apply;
}

}  // namespace orv
