#include "graphics/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace orv {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kOs2MaxHeaderBytes = 64;
constexpr uint32_t kWindowsInfoHeaderBytes = 40;
constexpr uint32_t kWindowsMasksInHeaderBytes = 52;  // v2 and later carry the masks inside

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,  // OS/2 2.x: Huffman 1D, not supported
  kAlphaBitFields = 6,
};

enum class HeaderKind { Os2Core, Os2, Windows };

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = int(std::bit_width(m >> shift));
  }
  uint8_t From(uint32_t pixel) const { return WidenChannel((pixel & mask) >> shift, bits); }
};

struct BmpLayout {
  HeaderKind kind = HeaderKind::Windows;
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitsPerPixel = 0;
  uint32_t compression = kRgb;
  Channel red, green, blue;
  std::array<Rgb, 256> palette{};  // indices the table does not reach stay black
  size_t pixelOffset = 0;
};

// Header fields of the variable-length OS/2 2.x header read as zero when the header is
// too short to hold them.
uint32_t HeaderField32(ByteSpan file, uint32_t headerSize, uint32_t at) {
  if (at + 4 > headerSize) return 0;
  return GetU32LE(file.data() + kFileHeaderBytes + at);
}
uint16_t HeaderField16(ByteSpan file, uint32_t headerSize, uint32_t at) {
  if (at + 2 > headerSize) return 0;
  return *ReadU16LE(file, kFileHeaderBytes + at);
}

HeaderKind KindOfHeader(uint32_t headerSize) {
  if (headerSize == kCoreHeaderBytes) return HeaderKind::Os2Core;
  if (headerSize <= kOs2MaxHeaderBytes && headerSize != kWindowsInfoHeaderBytes && headerSize != 52 &&
      headerSize != 56)
    return HeaderKind::Os2;
  return HeaderKind::Windows;
}

bool DepthAllowed(int bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

Result<void> CheckCompression(const BmpLayout& l) {
  auto malformed = [](const char* why) { return Error{ErrorKind::Malformed, why}; };
  switch (l.compression) {
    case kRgb:
      return {};
    case kRle8:
      if (l.bitsPerPixel != 8) return malformed("RLE8 needs 8 bits per pixel");
      return {};
    case kRle4:
      if (l.bitsPerPixel != 4) return malformed("RLE4 needs 4 bits per pixel");
      return {};
    case kBitFields:
    case kAlphaBitFields:
      if (l.kind != HeaderKind::Windows)
        return Error{ErrorKind::Unsupported, "OS/2 Huffman compression is not supported"};
      if (l.bitsPerPixel != 16 && l.bitsPerPixel != 32) return malformed("bit fields need 16 or 32 bits per pixel");
      return {};
    default:
      return Error{ErrorKind::Unsupported, "unsupported compression"};
  }
}

// Reads the headers, masks and colour table.
Result<BmpLayout> ReadLayout(ByteSpan file) {
  auto malformed = [](const char* why) { return Error{ErrorKind::Malformed, why}; };
  if (file.size() < kFileHeaderBytes + 4 || file[0] != 'B' || file[1] != 'M') return malformed("not a BMP file");
  const uint32_t headerSize = *ReadU32LE(file, kFileHeaderBytes);
  if (headerSize < kCoreHeaderBytes || (headerSize > kCoreHeaderBytes && headerSize < 16))
    return malformed("bad header size");
  if (headerSize > file.size() - kFileHeaderBytes) return malformed("truncated header");
  BmpLayout l;
  l.kind = KindOfHeader(headerSize);

  int64_t width = 0, height = 0;
  uint32_t colorsUsed = 0;
  if (l.kind == HeaderKind::Os2Core) {
    width = HeaderField16(file, headerSize, 4);
    height = HeaderField16(file, headerSize, 6);
    l.bitsPerPixel = HeaderField16(file, headerSize, 10);
  } else {
    width = int32_t(HeaderField32(file, headerSize, 4));
    height = int32_t(HeaderField32(file, headerSize, 8));
    l.bitsPerPixel = HeaderField16(file, headerSize, 14);
    l.compression = HeaderField32(file, headerSize, 16);
    colorsUsed = HeaderField32(file, headerSize, 32);
  }
  l.topDown = height < 0;
  height = height < 0 ? -height : height;
  if (!PictureSizeAllowed(width, height))
    return Error{width > 0 && height > 0 ? ErrorKind::TooLarge : ErrorKind::Malformed, "picture size out of range"};
  l.width = int(width);
  l.height = int(height);
  if (!DepthAllowed(l.bitsPerPixel)) return Error{ErrorKind::Unsupported, "unsupported bits per pixel"};
  if (Result<void> compression = CheckCompression(l); !compression) return compression.error();

  size_t tableOffset = kFileHeaderBytes + headerSize;
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (l.bitsPerPixel == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  if (l.compression == kBitFields || l.compression == kAlphaBitFields) {
    if (headerSize >= kWindowsMasksInHeaderBytes) {
      for (uint32_t i = 0; i < 3; ++i) masks[i] = HeaderField32(file, headerSize, 40 + 4 * i);
    } else {
      const size_t maskBytes = l.compression == kAlphaBitFields ? 16 : 12;
      if (file.size() - tableOffset < maskBytes) return malformed("truncated colour masks");
      for (size_t i = 0; i < 3; ++i) masks[i] = GetU32LE(file.data() + tableOffset + 4 * i);
      tableOffset += maskBytes;
    }
  }
  l.red = Channel(masks[0]);
  l.green = Channel(masks[1]);
  l.blue = Channel(masks[2]);

  const size_t entryBytes = l.kind == HeaderKind::Os2Core ? 3 : 4;
  const uint32_t bfOffBits = *ReadU32LE(file, 10);
  size_t entries = 0;
  if (l.bitsPerPixel <= 8) {
    const size_t full = size_t(1) << l.bitsPerPixel;
    entries = colorsUsed != 0 ? std::min<size_t>(colorsUsed, full) : full;
    // OS/2 1.x files carry no count; the start of the bits tells how long the table is.
    if (l.kind == HeaderKind::Os2Core && bfOffBits >= tableOffset + entryBytes)
      entries = std::min(entries, (bfOffBits - tableOffset) / entryBytes);
    entries = std::min(entries, (file.size() - tableOffset) / entryBytes);
    for (size_t i = 0; i < entries; ++i) {
      const uint8_t* p = file.data() + tableOffset + i * entryBytes;
      l.palette[i] = Rgb{p[2], p[1], p[0]};
    }
  }
  // An offset pointing into the headers is a writer's slip: the bits then follow the table.
  l.pixelOffset = bfOffBits >= tableOffset ? bfOffBits : tableOffset + entries * entryBytes;
  if (l.pixelOffset >= file.size()) return malformed("pixel data starts past the end of the file");
  return l;
}

// Bottom-up files store the picture's last row first.
int ImageRow(const BmpLayout& l, int64_t fileRow) { return l.topDown ? int(fileRow) : l.height - 1 - int(fileRow); }

void PutBgr(uint8_t* p, Rgb c) {
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

void DecodeRow(const BmpLayout& l, const uint8_t* src, int pixels, uint8_t* dst) {
  switch (l.bitsPerPixel) {
    case 1:
    case 2:
    case 4: {
      // The leftmost pixel sits in the byte's high bits.
      const int bits = l.bitsPerPixel;
      const unsigned mask = (1u << bits) - 1;
      int shift = 8 - bits;
      for (int x = 0; x < pixels; ++x, dst += 3) {
        PutBgr(dst, l.palette[(*src >> shift) & mask]);
        shift -= bits;
        if (shift < 0) shift = 8 - bits, ++src;
      }
      break;
    }
    case 8:
      for (int x = 0; x < pixels; ++x, dst += 3) PutBgr(dst, l.palette[src[x]]);
      break;
    case 16:
      for (int x = 0; x < pixels; ++x, src += 2, dst += 3) {
        const uint32_t v = uint32_t(src[0] | src[1] << 8);
        PutBgr(dst, Rgb{l.red.From(v), l.green.From(v), l.blue.From(v)});
      }
      break;
    case 24:
      std::memcpy(dst, src, size_t(pixels) * 3);
      break;
    case 32:
      for (int x = 0; x < pixels; ++x, src += 4, dst += 3) {
        const uint32_t v = GetU32LE(src);
        PutBgr(dst, Rgb{l.red.From(v), l.green.From(v), l.blue.From(v)});
      }
      break;
  }
}

void DecodeUncompressed(ByteSpan file, const BmpLayout& l, Image& image) {
  const uint64_t rowBits = uint64_t(l.width) * uint64_t(l.bitsPerPixel);
  const size_t stride = size_t((rowBits + 31) / 32 * 4);
  for (int64_t fileRow = 0; fileRow < l.height; ++fileRow) {
    const uint64_t start = l.pixelOffset + uint64_t(fileRow) * stride;
    if (start >= file.size()) break;
    const size_t available = size_t(std::min<uint64_t>(stride, file.size() - start));
    const int pixels = int(std::min<uint64_t>(uint64_t(l.width), uint64_t(available) * 8 / uint64_t(l.bitsPerPixel)));
    DecodeRow(l, file.data() + start, pixels, image.row(ImageRow(l, fileRow)));
  }
}

// Run-length pixels: pairs of (count, value) and escapes (0, 0) end of line, (0, 1) end of
// bitmap, (0, 2, dx, dy) delta, (0, n >= 3) n literal pixels padded to a 16-bit boundary.
// Positions are 64-bit so that no run of deltas can overflow; pixels outside the picture
// are dropped.
void DecodeRunLength(ByteSpan file, const BmpLayout& l, Image& image) {
  const bool nibbles = l.compression == kRle4;
  size_t at = l.pixelOffset;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t* row, int64_t px, uint8_t index) {
    if (px < l.width) PutBgr(row + size_t(px) * 3, l.palette[index]);
  };
  while (y < l.height && file.size() - at >= 2) {
    const uint8_t count = file[at], value = file[at + 1];
    at += 2;
    if (count > 0) {
      const int64_t n = std::clamp<int64_t>(l.width - x, 0, count);
      uint8_t* p = image.row(ImageRow(l, y)) + size_t(std::min<int64_t>(x, l.width)) * 3;
      for (int64_t i = 0; i < n; ++i, p += 3)
        PutBgr(p, l.palette[nibbles ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value]);
      x += count;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (file.size() - at < 2) return;
      x += file[at];
      y += file[at + 1];
      at += 2;
    } else {  // literal pixels
      const size_t bytes = nibbles ? (size_t(value) + 1) / 2 : value;
      const size_t have = std::min(bytes, file.size() - at);
      uint8_t* row = image.row(ImageRow(l, y));
      for (int64_t i = 0; i < value; ++i) {
        const size_t byteIndex = nibbles ? size_t(i / 2) : size_t(i);
        if (byteIndex >= have) break;
        const uint8_t b = file[at + byteIndex];
        put(row, x + i, nibbles ? uint8_t(i % 2 == 0 ? b >> 4 : b & 0x0F) : b);
      }
      x += value;
      at += std::min(file.size() - at, (bytes + 1) & ~size_t(1));
    }
  }
}

}  // namespace

// New pictures start black, which is what unwritten pixels must show.
static_assert(kUnwrittenPixel == Rgb{});

Result<Image> DecodeBmp(ByteSpan file) {
  const Result<BmpLayout> layout = ReadLayout(file);
  if (!layout) return Error{layout.error().kind, "BMP: " + layout.error().message};
  Image image(layout->width, layout->height);
  if (layout->compression == kRle8 || layout->compression == kRle4)
    DecodeRunLength(file, *layout, image);
  else
    DecodeUncompressed(file, *layout, image);
  return image;
}

}  // namespace orv
