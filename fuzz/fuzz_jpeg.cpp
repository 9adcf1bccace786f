// The JPEG decoder over arbitrary bytes: every error the library raises comes back as an error
// value, never an exit or a jump into nowhere, and every picture it hands back is within the
// decoders' limits.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "graphics/jpeg_decoder.h"

namespace {

// A tiny file may declare millions of pixels, which the library then fills with grey: a
// fine thing for the decoder to do, but milliseconds of library time per input. Such files
// are decoded only when they are refused before any pixel is made.
constexpr int64_t kMaxDecodedPixels = 256 * 256;

struct HeaderError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnHeaderError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<HeaderError*>(cinfo->err)->jump, 1); }
void Quiet(j_common_ptr, int) {}

// The sides the file declares; false when it has no readable header.
bool DeclaredSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
  jpeg_decompress_struct cinfo{};
  HeaderError err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnHeaderError;
  err.pub.emit_message = Quiet;
  bool read = false;
  jpeg_create_decompress(&cinfo);
  if (!setjmp(err.jump)) {
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    width = cinfo.image_width;
    height = cinfo.image_height;
    read = true;
  }
  jpeg_destroy_decompress(&cinfo);
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int64_t width = 0, height = 0;
  if (size > 0 && DeclaredSize(data, size, width, height) && orv::PictureSizeAllowed(width, height) &&
      width * height > kMaxDecodedPixels)
    return 0;
  const orv::DecodedPicture decoded = orv::DecodeJpeg(orv::ByteSpan(data, size));
  if (decoded.ok() == decoded.image.empty()) std::abort();
  if (decoded.ok() && !orv::PictureSizeAllowed(decoded.image.width(), decoded.image.height())) std::abort();
  if (decoded.ok() && (decoded.image.width() != width || decoded.image.height() != height)) std::abort();
  return 0;
}
