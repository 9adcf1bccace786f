#include "graphics/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace orv {
namespace {

// libjpeg reports errors by calling error_exit, which must not return: it jumps back into
// Decode, which then hands the library's message back as a value.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  ErrorKind kind;  // the library's own errors are damaged data; our limits say TooLarge
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings and traces are not printed

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxJpegScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxJpegScans);
    err->kind = ErrorKind::TooLarge;
    std::longjmp(err->jump, 1);
  }
}

// Everything the decoding touches lives here, outside the frame that calls setjmp, so that
// nothing needs to survive a longjmp in a register.
struct Session {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};
  ByteSpan file;
  Image image;
  std::vector<uint8_t> cmykRow;
};

// Adobe's encoders store CMYK inverted and say so with their APP14 marker.
void CmykRowToBgr(const uint8_t* cmyk, int width, bool inverted, uint8_t* bgr) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const int c = inverted ? cmyk[0] : 255 - cmyk[0];
    const int m = inverted ? cmyk[1] : 255 - cmyk[1];
    const int y = inverted ? cmyk[2] : 255 - cmyk[2];
    const int k = inverted ? cmyk[3] : 255 - cmyk[3];
    bgr[0] = uint8_t((y * k + 127) / 255);
    bgr[1] = uint8_t((m * k + 127) / 255);
    bgr[2] = uint8_t((c * k + 127) / 255);
  }
}

bool Decode(Session& s) {
  if (setjmp(s.err.jump)) return false;
  jpeg_create_decompress(&s.cinfo);
  s.progress.progress_monitor = OnProgress;
  s.cinfo.progress = &s.progress;
  jpeg_mem_src(&s.cinfo, s.file.data(), static_cast<unsigned long>(s.file.size()));
  jpeg_read_header(&s.cinfo, TRUE);
  if (!PictureSizeAllowed(s.cinfo.image_width, s.cinfo.image_height)) {
    std::snprintf(s.err.message, sizeof s.err.message, "picture size out of range");
    s.err.kind = ErrorKind::TooLarge;
    return false;
  }
  const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
  s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&s.cinfo);
  const int width = int(s.cinfo.output_width), height = int(s.cinfo.output_height);
  // Every row is decoded into, or cleared below: no need to clear it first.
  s.image = Image::ForOverwrite(width, height);
  if (cmyk) s.cmykRow.resize(size_t(width) * 4);
  while (s.cinfo.output_scanline < s.cinfo.output_height) {
    const int y = int(s.cinfo.output_scanline);
    JSAMPROW row = cmyk ? s.cmykRow.data() : s.image.row(y);
    if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1) break;  // the source never suspends; be safe
    if (cmyk) CmykRowToBgr(s.cmykRow.data(), width, s.cinfo.saw_Adobe_marker, s.image.row(y));
  }
  // Rows a failing read left out are black, never what the memory held before.
  for (int y = int(s.cinfo.output_scanline); y < height; ++y) std::memset(s.image.row(y), 0, s.image.stride());
  jpeg_finish_decompress(&s.cinfo);
  return true;
}

}  // namespace

Result<Image> DecodeJpeg(ByteSpan file) {
  Session s;
  s.cinfo.err = jpeg_std_error(&s.err.pub);
  s.err.pub.error_exit = OnError;
  s.err.pub.emit_message = OnMessage;
  s.err.kind = ErrorKind::Malformed;
  s.file = file;
  const bool ok = !file.empty() && Decode(s);
  jpeg_destroy_decompress(&s.cinfo);
  if (file.empty()) return Error{ErrorKind::Malformed, "JPEG: empty file"};
  if (!ok) return Error{s.err.kind, std::string("JPEG: ") + s.err.message};
  return std::move(s.image);
}

}  // namespace orv
