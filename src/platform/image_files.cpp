#include "platform/image_files.h"

#include <png.h>

#include <cstdio>

#include "platform/game_folder.h"

namespace orv {

Bytes EncodeBmp24(const Image& image) {
  const uint32_t rowBytes = (uint32_t(image.width()) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * uint32_t(image.height());
  Bytes out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  AppendU32LE(out, 54 + imageBytes);
  AppendU32LE(out, 0);
  AppendU32LE(out, 54);
  AppendU32LE(out, 40);
  AppendU32LE(out, uint32_t(image.width()));
  AppendU32LE(out, uint32_t(image.height()));
  out.push_back(1);
  out.push_back(0);
  out.push_back(24);
  out.push_back(0);
  AppendU32LE(out, 0);
  AppendU32LE(out, imageBytes);
  for (int i = 0; i < 4; ++i) AppendU32LE(out, 0);
  for (int y = image.height() - 1; y >= 0; --y) {
    const uint8_t* row = image.row(y);
    out.insert(out.end(), row, row + image.stride());
    out.insert(out.end(), rowBytes - image.stride(), 0);
  }
  return out;
}

bool WriteBmp24(const std::filesystem::path& file, const Image& image) {
  return WriteFileAtomically(file, EncodeBmp24(image)).ok();
}

namespace {
void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void FlushNothing(png_structp) {}
}  // namespace

std::optional<Bytes> EncodePng(const Image& image) {
  if (image.empty()) return std::nullopt;
  Bytes encoded;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return std::nullopt;
  }
  png_set_write_fn(png, &encoded, AppendPngBytes, FlushNothing);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_bgr(png);
  png_write_info(png, info);
  for (int y = 0; y < image.height(); ++y) png_write_row(png, const_cast<png_bytep>(image.row(y)));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return encoded;
}

// Encoded in memory and written through the atomic path, so a failed write never leaves a
// half (or empty) picture behind.
bool WritePng(const std::filesystem::path& file, const Image& image) {
  std::optional<Bytes> encoded = EncodePng(image);
  return encoded && WriteFileAtomically(file, *encoded).ok();
}

bool WriteScreenshot(const std::filesystem::path& file, const Image& image) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".png" ? WritePng(file, image) : WriteBmp24(file, image);
}

}  // namespace orv
