// The JPEG decoder over arbitrary bytes: every error the library raises comes back as an error
// value, never an exit or a jump into nowhere, and every picture it hands back is within the
// decoders' limits and as large as its header says.
//
// libjpeg is the system's library, built without coverage, so the fuzzer cannot see which of
// its paths an input took. What the header holds and how the decoding ended stand in for it:
// each distinct value lights an extra counter that libFuzzer reads like coverage.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <jpeglib.h>

#include "graphics/jpeg_decoder.h"

namespace {

// A tiny file may declare millions of pixels, which the library then fills with grey: a
// fine thing for the decoder to do, but milliseconds of library time per input. Such files
// are decoded only when they are refused before any pixel is made.
constexpr int64_t kMaxDecodedPixels = 256 * 256;

__attribute__((used, section("__libfuzzer_extra_counters"))) uint8_t gFeatures[2048];

// One counter for each kind of fact and value.
void Feature(uint32_t kind, uint32_t value) {
  uint32_t h = kind * 0x9E3779B1u ^ value * 0x85EBCA77u;
  h ^= h >> 15;
  uint8_t& counter = gFeatures[h % sizeof gFeatures];
  if (counter < 255) ++counter;
}

// The library's messages up to the first number, so that "12 extraneous bytes" and "13
// extraneous bytes" count as one outcome.
uint32_t MessageKind(std::string_view message) {
  uint32_t h = 2166136261u;
  for (const char c : message) {
    if (c >= '0' && c <= '9') break;
    h = (h ^ uint8_t(c)) * 16777619u;
  }
  return h;
}

struct Header {
  int64_t width = 0, height = 0;
};

struct HeaderErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnHeaderError(j_common_ptr cinfo) {
  Feature(1, uint32_t(cinfo->err->msg_code));
  std::longjmp(reinterpret_cast<HeaderErrors*>(cinfo->err)->jump, 1);
}

void OnHeaderMessage(j_common_ptr cinfo, int level) {
  if (level < 0) Feature(2, uint32_t(cinfo->err->msg_code));  // warnings, not traces
}

void NoteHeader(const jpeg_decompress_struct& cinfo) {
  Feature(3, cinfo.jpeg_color_space);
  Feature(4, uint32_t(cinfo.num_components));
  Feature(5, uint32_t(cinfo.progressive_mode) | uint32_t(cinfo.arith_code) << 1 |
                 uint32_t(cinfo.restart_interval != 0) << 2 | uint32_t(cinfo.saw_JFIF_marker) << 3 |
                 uint32_t(cinfo.saw_Adobe_marker) << 4);
  Feature(6, uint32_t(cinfo.data_precision));
  for (int i = 0; i < cinfo.num_components && i < 4; ++i)
    Feature(7, uint32_t(i << 8 | cinfo.comp_info[i].h_samp_factor << 4 | cinfo.comp_info[i].v_samp_factor));
  Feature(8, uint32_t((cinfo.image_width % 16) << 4 | cinfo.image_height % 16));
}

// The header as the library reads it; nothing when it cannot.
bool ReadHeader(const uint8_t* data, size_t size, Header& header) {
  jpeg_decompress_struct cinfo{};
  HeaderErrors err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnHeaderError;
  err.pub.emit_message = OnHeaderMessage;
  bool read = false;
  jpeg_create_decompress(&cinfo);
  if (!setjmp(err.jump)) {
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    NoteHeader(cinfo);
    header.width = cinfo.image_width;
    header.height = cinfo.image_height;
    read = true;
  }
  jpeg_destroy_decompress(&cinfo);
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Header header;
  const bool hasHeader = size > 0 && ReadHeader(data, size, header);
  if (hasHeader && orv::PictureSizeAllowed(header.width, header.height) &&
      header.width * header.height > kMaxDecodedPixels)
    return 0;
  const orv::Result<orv::Image> decoded = orv::DecodeJpeg(orv::ByteSpan(data, size));
  Feature(9, MessageKind(decoded ? std::string_view() : std::string_view(decoded.error().message)));
  if (decoded && decoded->empty()) std::abort();
  if (!decoded) return 0;
  if (!hasHeader || decoded->width() != header.width || decoded->height() != header.height) std::abort();
  if (!orv::PictureSizeAllowed(decoded->width(), decoded->height())) std::abort();
  return 0;
}
