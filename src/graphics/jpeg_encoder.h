#pragma once
// JPEG encoding of a picture, for the game maker's tools (the demo's pictures) and for tests.
#include "platform/bytes.h"
#include "platform/image.h"

namespace orv {

// Nothing (an empty result) when the picture is empty or the library reports an error.
Bytes EncodeJpeg(const Image& image, int quality = 90, bool progressive = false);

}  // namespace orv
