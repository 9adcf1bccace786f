#include "platform/ui/cursor_file.h"

#include <algorithm>
#include <string_view>

namespace orv {
namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kDirectoryEntry = 16;
constexpr size_t kBitmapHeader = 40;

bool IsTag(ByteSpan b, size_t at, std::string_view tag) {
  if (at > b.size() || b.size() - at < tag.size()) return false;
  return std::equal(tag.begin(), tag.end(), b.begin() + ptrdiff_t(at),
                    [](char t, uint8_t c) { return uint8_t(t) == c; });
}

// A bit of a row-padded 1-bit-per-pixel bitmap stored bottom-up.
bool MaskBit(ByteSpan mask, size_t stride, int height, int x, int y) {
  const size_t at = size_t(height - 1 - y) * stride + size_t(x >> 3);
  return (mask[at] >> (7 - (x & 7))) & 1;
}

// One image of the directory: a DIB with its colour bitmap (height doubled) and AND mask.
std::optional<CursorImage> ParseDib(ByteSpan image) {
  if (IsTag(image, 0, "\x89PNG")) return std::nullopt;  // frames of newer cursors; not used by old games
  const auto headerSize = ReadU32LE(image, 0);
  if (!headerSize || *headerSize < kBitmapHeader || *headerSize > image.size()) return std::nullopt;
  const int32_t width = int32_t(*ReadU32LE(image, 4));
  const int32_t doubledHeight = int32_t(*ReadU32LE(image, 8));
  const uint16_t bitCount = *ReadU16LE(image, 14);
  const uint32_t compression = *ReadU32LE(image, 16);
  const uint32_t colorsUsed = *ReadU32LE(image, 32);
  if (width <= 0 || width > kMaxCursorSide || doubledHeight <= 0 || doubledHeight > 2 * kMaxCursorSide)
    return std::nullopt;
  const int height = doubledHeight / 2;
  if (height <= 0) return std::nullopt;
  if (compression != 0 && !(compression == 3 && bitCount == 32)) return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;

  size_t at = *headerSize;
  size_t paletteSize = 0;
  if (bitCount <= 8) {
    paletteSize = colorsUsed == 0 ? size_t(1) << bitCount : std::min<size_t>(colorsUsed, size_t(1) << bitCount);
  }
  if (compression == 3 && *headerSize == kBitmapHeader) at += 12;  // the three colour masks
  const size_t paletteAt = at;
  at += paletteSize * 4;
  const size_t colorStride = (size_t(width) * bitCount + 31) / 32 * 4;
  const size_t maskStride = (size_t(width) + 31) / 32 * 4;
  const size_t colorAt = at;
  const size_t maskAt = colorAt + colorStride * size_t(height);
  const bool hasMask = maskAt <= image.size() && image.size() - maskAt >= maskStride * size_t(height);
  if (colorAt > image.size() || image.size() - colorAt < colorStride * size_t(height)) return std::nullopt;
  if (!hasMask && bitCount != 32) return std::nullopt;
  const ByteSpan mask = hasMask ? image.subspan(maskAt, maskStride * size_t(height)) : ByteSpan{};

  CursorImage out;
  out.width = width;
  out.height = height;
  out.argb.resize(size_t(width) * size_t(height));
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = image.data() + colorAt + size_t(height - 1 - y) * colorStride;
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = 0, alpha = 0xFF;
      if (bitCount == 32) {
        const uint8_t* p = row + size_t(x) * 4;
        rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        alpha = p[3];
        anyAlpha |= alpha != 0;
      } else if (bitCount == 24) {
        const uint8_t* p = row + size_t(x) * 3;
        rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      } else {
        const int perByte = 8 / bitCount;
        const uint8_t byte = row[x / perByte];
        const int shift = (perByte - 1 - x % perByte) * bitCount;
        const size_t index = (byte >> shift) & ((1u << bitCount) - 1);
        if (index < paletteSize) {
          const uint8_t* p = image.data() + paletteAt + index * 4;
          rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
      }
      out.argb[size_t(y) * width + x] = alpha << 24 | rgb;
    }
  }
  // Without an alpha channel the AND mask says what shows. Where the mask is set and the colour
  // is not black, Windows inverts the screen; a colour cursor cannot, so such pixels show black.
  if ((bitCount != 32 || !anyAlpha) && hasMask) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint32_t& p = out.argb[size_t(y) * width + x];
        if (!MaskBit(mask, maskStride, height, x, y)) {
          p |= 0xFF000000u;
        } else {
          p = (p & 0xFFFFFF) == 0 ? 0 : 0xFF000000u;
        }
      }
  }
  return out;
}

// A .cur or .ico directory: the first image that parses.
std::optional<CursorImage> ParseDirectory(ByteSpan file) {
  const auto reserved = ReadU16LE(file, 0), type = ReadU16LE(file, 2), count = ReadU16LE(file, 4);
  if (!reserved || !type || !count || *reserved != 0 || (*type != 1 && *type != 2) || *count == 0)
    return std::nullopt;
  for (size_t i = 0; i < *count; ++i) {
    const size_t entry = kDirectoryHeader + i * kDirectoryEntry;
    const auto hotX = ReadU16LE(file, entry + 4), hotY = ReadU16LE(file, entry + 6);
    const auto size = ReadU32LE(file, entry + 8), offset = ReadU32LE(file, entry + 12);
    if (!hotX || !hotY || !size || !offset) break;
    if (*offset > file.size() || file.size() - *offset < *size) continue;
    auto image = ParseDib(file.subspan(*offset, *size));
    if (!image) continue;
    if (*type == 2) {
      image->hotX = std::min<int>(*hotX, image->width - 1);
      image->hotY = std::min<int>(*hotY, image->height - 1);
    } else {
      image->hotX = image->width / 2;
      image->hotY = image->height / 2;
    }
    return image;
  }
  return std::nullopt;
}

// The first "icon" chunk of a run of RIFF chunks, looking one level into LIST chunks (an
// animated cursor keeps its frames in the "fram" list).
std::optional<CursorImage> FirstIconChunk(ByteSpan chunks, int depth) {
  size_t at = 0;
  while (chunks.size() - at >= 8) {
    const size_t dataAt = at + 8;
    const size_t dataSize = std::min<size_t>(*ReadU32LE(chunks, at + 4), chunks.size() - dataAt);
    const ByteSpan data = chunks.subspan(dataAt, dataSize);
    if (IsTag(chunks, at, "icon")) return ParseDirectory(data);
    if (IsTag(chunks, at, "LIST") && depth == 0 && data.size() >= 4)
      if (auto frame = FirstIconChunk(data.subspan(4), depth + 1)) return frame;
    const size_t advance = dataSize + (dataSize & 1);
    if (advance > chunks.size() - dataAt) break;
    at = dataAt + advance;
  }
  return std::nullopt;
}

// An animated cursor: RIFF "ACON"; its first frame stands for it.
std::optional<CursorImage> ParseAnimated(ByteSpan file) {
  const size_t end = std::clamp<size_t>(size_t(*ReadU32LE(file, 4)) + 8, 12, file.size());
  return FirstIconChunk(file.subspan(12, end - 12), 0);
}

}  // namespace

std::optional<CursorImage> ParseCursorFile(ByteSpan file) {
  if (IsTag(file, 0, "RIFF") && IsTag(file, 8, "ACON")) return ParseAnimated(file);
  return ParseDirectory(file);
}

CursorImage ScaleCursor(const CursorImage& cursor, int scale) {
  scale = std::clamp(scale, 1, 8);
  if (scale == 1) return cursor;
  CursorImage out;
  out.width = cursor.width * scale;
  out.height = cursor.height * scale;
  out.hotX = cursor.hotX * scale;
  out.hotY = cursor.hotY * scale;
  out.argb.resize(size_t(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      out.argb[size_t(y) * out.width + x] = cursor.argb[size_t(y / scale) * cursor.width + x / scale];
  return out;
}

}  // namespace orv
