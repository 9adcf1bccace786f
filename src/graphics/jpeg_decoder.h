#pragma once
// JPEG pictures held in memory, decoded with libjpeg into a top-down BGR picture. Every error
// the library raises comes back as an error value; its warnings (a file that ends early, a
// corrupt stretch of data) are let through, so a damaged file shows what could be decoded.
// Grayscale, RGB, YCbCr, CMYK and YCCK files are accepted; pictures larger than the decoders'
// limits and files with an absurd number of progressive scans are refused.
#include "graphics/picture_limits.h"
#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

// The picture, or why there is none ("JPEG: " and the library's or our own reason).
Result<Image> DecodeJpeg(ByteSpan file);

// A progressive file may split its data into any number of scans, each of which makes the
// library walk the whole picture again; real encoders use about ten.
inline constexpr int kMaxJpegScans = 500;

}  // namespace orv
