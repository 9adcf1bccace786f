#pragma once
// How large a picture the decoders build.
#include <cstdint>

#include "platform/image.h"

namespace orv {

// No decoder builds a picture of more pixels than this, whatever its sides: 16 million pixels
// (48 MiB) is far beyond anything a 640 x 480 game shows, and keeps a tiny hostile file from
// asking for gigabytes.
inline constexpr int64_t kMaxPicturePixels = int64_t(1) << 24;

inline bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace orv
