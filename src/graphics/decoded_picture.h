#pragma once
// What a picture decoder hands back: the picture, or why there is none. The reason is for
// logs and tests; what the player is told is decided by the picture loader.
#include <string>

#include "platform/image.h"

namespace orv {

struct DecodedPicture {
  Image image;
  std::string error;  // empty when the picture decoded
  bool ok() const { return error.empty(); }

  static DecodedPicture Failure(std::string why) { return DecodedPicture{Image(), std::move(why)}; }
};

// No decoder builds a picture of more pixels than this, whatever its sides: 16 million pixels
// (48 MiB) is far beyond anything a 640 x 480 game shows, and keeps a tiny hostile file from
// asking for gigabytes.
inline constexpr int64_t kMaxPicturePixels = int64_t(1) << 24;

inline bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace orv
