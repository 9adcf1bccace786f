// The BMP decoder over arbitrary bytes: it must refuse or decode, never read outside the
// input, and keep every picture within the decoders' limits.
#include <cstdint>
#include <cstdlib>

#include "graphics/bmp_decoder.h"
#include "graphics/picture_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orv::ByteSpan bytes(data, size);
  const orv::Result<orv::Image> decoded = orv::DecodeBmp(bytes);
  if (decoded && decoded->empty()) std::abort();
  if (decoded && !orv::PictureSizeAllowed(decoded->width(), decoded->height())) std::abort();
  // The package path: data that does not start with "BM" loads nothing.
  const orv::PictureLoad load = orv::BmpToImage(bytes, "fuzz.bmp");
  if ((load && *load) != decoded.ok()) std::abort();
  return 0;
}
