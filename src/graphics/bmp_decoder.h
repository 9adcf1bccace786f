#pragma once
// Windows and OS/2 bitmap files (BMP) held in memory, decoded into a top-down BGR picture.
//
// Accepted: OS/2 1.x core headers (12 bytes, three-byte colours), OS/2 2.x headers (16 to 64
// bytes, missing fields read as zero), Windows headers of 40, 52, 56, 108, 124 bytes or more;
// 1, 2, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, run-length (RLE8, RLE4) and
// bit-field pixels; bottom-up and top-down rows. Alpha is ignored, as the screen ignores it.
//
// Decisions where files go wrong or GDI has its own ways:
// - Pixels a file never writes (skipped by an RLE delta, cut off by an early end of the
//   runs, or missing because the file is truncated) are black, which is what a freshly
//   created screen-compatible bitmap holds before the bits are set into it.
// - A truncated file gives the picture its pixels reach; only a file whose headers or
//   colour masks are cut off, or whose pixel data would start at or past its end, is refused.
// - Colour-table entries past the end of the file, or past the count the header declares,
//   are black; so is any index that the table does not reach.
// - Bit-field channels narrower than 8 bits are widened as GDI widens them (`WidenChannel`).
#include <cstdint>

#include "graphics/picture_limits.h"
#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

// The picture, or why there is none ("BMP: " and the reason, for logs and tests; what the
// player is told is decided by the picture loader).
Result<Image> DecodeBmp(ByteSpan file);

// The largest BMP file a picture of the decoders' largest size needs: four bytes a pixel (no
// depth, row padding included, takes more) after the file header, the longest header of the
// Windows formats, three colour masks and an alpha mask, and a full colour table. Unpacked
// picture data larger than this cannot be a picture the player shows.
inline constexpr uint64_t kMaxBmpHeaderBytes = 14 + 124 + 16 + 256 * 4;
inline constexpr uint64_t kMaxBmpFileBytes = uint64_t(kMaxPicturePixels) * 4 + kMaxBmpHeaderBytes;

// A bit-field channel of `bits` bits made 8 bits wide the way GDI converts 16-bit and
// bit-field pictures for the screen: shifted to the top of the byte, then its high bits
// repeated once into the low bits (5-bit 31 becomes 255, 16 becomes 132; 6-bit 63 becomes
// 255). Wider channels keep their top 8 bits.
constexpr uint8_t WidenChannel(uint32_t value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return uint8_t(value >> (bits - 8));
  const uint32_t top = (value << (8 - bits)) & 0xFF;
  return uint8_t(top | (top >> bits));
}

// The colour of pixels a file never writes.
inline constexpr Rgb kUnwrittenPixel{0, 0, 0};

}  // namespace orv
