#pragma once
// The message box tint: each channel moves towards the box colour by opacity / 256,
//   ((target - p) * opacity + p * 256) >> 8,
// exactly as the game computes it. It runs over the box on every presented frame, so it is
// computed sixteen bytes at a time where the processor allows.
#include <cstdint>

namespace orv {

struct BoxTint {
  uint8_t opacity = 0;
  uint8_t blue = 0, green = 0, red = 0;
};

// Tints `pixels` blue-green-red pixels of src into dst (which may be src itself).
void TintPixels(const uint8_t* src, uint8_t* dst, int pixels, const BoxTint& tint);

}  // namespace orv
