#pragma once
// Windows cursor files: .cur (and .ico) and animated .ani, whose first frame stands for the
// whole animation. Pure parsing, no window system: bytes in, pixels out.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/bytes.h"

namespace orv {

struct CursorImage {
  int width = 0, height = 0;
  int hotX = 0, hotY = 0;
  std::vector<uint32_t> argb;  // width * height, top-down, 0xAARRGGBB
};

// Cursor pictures larger than this on a side are refused.
inline constexpr int kMaxCursorSide = 256;

// Nothing when the bytes are not a cursor this player can show (unknown layout, compressed
// or PNG frames, sizes out of range, truncation).
std::optional<CursorImage> ParseCursorFile(ByteSpan file);

// Each pixel becomes a scale x scale block; the hotspot moves with it.
CursorImage ScaleCursor(const CursorImage& cursor, int scale);

}  // namespace orv
