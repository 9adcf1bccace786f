// The BMP decoder over arbitrary bytes: it must refuse or decode, never read outside the
// input, and keep every picture within the decoders' limits.
#include <cstdint>
#include <cstdlib>

#include "graphics/bmp_decoder.h"
#include "graphics/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orv::ByteSpan bytes(data, size);
  const orv::DecodedPicture decoded = orv::DecodeBmp(bytes);
  if (decoded.ok() != !decoded.image.empty()) std::abort();
  if (decoded.ok() && !orv::PictureSizeAllowed(decoded.image.width(), decoded.image.height())) std::abort();
  // The package path: data that does not start with "BM" loads nothing.
  const orv::PictureLoad load = orv::BmpToImage(bytes, "fuzz.bmp");
  if (load.loaded() != decoded.ok()) std::abort();
  return 0;
}
