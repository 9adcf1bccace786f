#pragma once
// Small picture files built in code for the picture tests: BMP files of every header and
// pixel kind, JPEG files through libjpeg, and ARC1 files with a fixed 8-bit tree.
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "graphics/jpeg_encoder.h"
#include "platform/bytes.h"
#include "platform/image.h"

namespace orv::test {

inline void PutU16(Bytes& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
inline void PutU32(Bytes& b, size_t at, uint32_t v) { PutU32LE(b.data() + at, v); }

struct BmpFields {
  uint32_t headerSize = 40;  // 12 (OS/2 1.x), 16..64 (OS/2 2.x), 40, 52, 56, 108, 124
  int32_t width = 1;
  int32_t height = 1;  // negative: top-down
  uint16_t bitsPerPixel = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<Rgb> palette;
  std::vector<uint32_t> masks;  // inside headers of 52 bytes or more, else after the header
  Bytes pixels;
  std::optional<uint32_t> pixelOffset;  // bfOffBits; by default right after the palette
};

inline Bytes BuildBmp(const BmpFields& s) {
  const bool core = s.headerSize == 12;
  const bool masksInside = s.headerSize >= 52;
  Bytes b(14 + s.headerSize, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b, 14, s.headerSize);
  if (core) {
    PutU16(b, 18, uint32_t(s.width));
    PutU16(b, 20, uint32_t(s.height));
    PutU16(b, 22, 1);
    PutU16(b, 24, s.bitsPerPixel);
  } else {
    auto field32 = [&](uint32_t at, uint32_t v) {
      if (at + 4 <= s.headerSize) PutU32(b, 14 + at, v);
    };
    field32(4, uint32_t(s.width));
    field32(8, uint32_t(s.height));
    if (s.headerSize >= 16) PutU16(b, 14 + 12, 1), PutU16(b, 14 + 14, s.bitsPerPixel);
    field32(16, s.compression);
    field32(20, uint32_t(s.pixels.size()));
    field32(32, s.colorsUsed);
    if (masksInside)
      for (size_t i = 0; i < s.masks.size() && i < 4; ++i) field32(40 + 4 * uint32_t(i), s.masks[i]);
  }
  if (!masksInside)
    for (uint32_t m : s.masks) AppendU32LE(b, m);
  for (Rgb c : s.palette) {
    b.push_back(c.b);
    b.push_back(c.g);
    b.push_back(c.r);
    if (!core) b.push_back(0);
  }
  PutU32(b, 10, s.pixelOffset.value_or(uint32_t(b.size())));
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  PutU32(b, 2, uint32_t(b.size()));
  return b;
}

// Rows in file order, one value per pixel: a palette index, a 16- or 32-bit word, or 0xRRGGBB
// for 24 bits; each row padded to four bytes.
inline Bytes PackRows(int bitsPerPixel, const std::vector<std::vector<uint32_t>>& rows) {
  Bytes out;
  for (const auto& row : rows) {
    Bytes r;
    if (bitsPerPixel < 8) {
      r.assign((row.size() * size_t(bitsPerPixel) + 7) / 8, 0);
      for (size_t x = 0; x < row.size(); ++x) {
        const size_t bit = x * size_t(bitsPerPixel);
        r[bit / 8] |= uint8_t(row[x] << (8 - bitsPerPixel - bit % 8));
      }
    } else {
      for (uint32_t v : row)
        for (int i = 0; i < bitsPerPixel / 8; ++i) r.push_back(uint8_t(v >> (8 * i)));
    }
    while (r.size() % 4 != 0) r.push_back(0);
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

// A 24-bit bottom-up BMP of the picture.
inline Bytes BmpOf(const Image& image) {
  std::vector<std::vector<uint32_t>> rows;
  for (int y = image.height() - 1; y >= 0; --y) {
    std::vector<uint32_t> row;
    for (int x = 0; x < image.width(); ++x) {
      const Rgb c = image.Pixel(x, y);
      row.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
    rows.push_back(row);
  }
  BmpFields fields;
  fields.width = image.width();
  fields.height = image.height();
  fields.pixels = PackRows(24, rows);
  return BuildBmp(fields);
}

inline Image SolidImage(int width, int height, Rgb c) {
  Image image(width, height);
  image.Fill(c);
  return image;
}

// JPEG encoding of raw samples: components per pixel as the colour space needs (3 for RGB, 1
// for grayscale, 4 for CMYK); `stored` is the colour space written into the file.
inline Bytes EncodeJpeg(const Bytes& samples, int width, int height, J_COLOR_SPACE input, int components,
                        J_COLOR_SPACE stored, bool progressive = false, int quality = 95) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = components;
  c.in_color_space = input;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, stored);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(samples.data() + size_t(c.next_scanline) * size_t(width) * size_t(components));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

// A picture as a JPEG file of high quality, baseline or progressive.
inline Bytes JpegFile(const Image& image, bool progressive = false) { return orv::EncodeJpeg(image, 95, progressive); }

// ARC1 with a full tree of depth 8 whose leaves are the byte values in order, so that every
// byte's code is the byte itself; `extraInternalNodes` puts a chain of that many more
// internal nodes above it, more than the format allows when it is at least 1.
class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= uint8_t(0x80 >> (used_ % 8));
      ++used_;
    }
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  size_t used_ = 0;
};

inline void PutFullTree(BitWriter& w, int depth, uint32_t prefix) {
  if (depth == 8) {
    w.Put(0, 1);
    w.Put(prefix, 8);
    return;
  }
  w.Put(1, 1);
  PutFullTree(w, depth + 1, prefix * 2);
  PutFullTree(w, depth + 1, prefix * 2 + 1);
}

inline Bytes EncodeArc1(const Bytes& data, int extraInternalNodes = 0) {
  BitWriter w;
  for (int i = 0; i < extraInternalNodes; ++i) {
    w.Put(1, 1);  // internal node whose left child is the leaf 0 and whose right child goes on
    w.Put(0, 1);
    w.Put(0, 8);
  }
  PutFullTree(w, 0, 0);
  for (uint8_t byte : data) {
    for (int i = 0; i < extraInternalNodes; ++i) w.Put(1, 1);
    w.Put(byte, 8);
  }
  Bytes out = {'A', 'R', 'C', '1'};
  AppendU32LE(out, uint32_t(data.size()));
  out.insert(out.end(), w.bytes().begin(), w.bytes().end());
  return out;
}

}  // namespace orv::test
