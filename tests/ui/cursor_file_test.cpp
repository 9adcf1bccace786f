#include "platform/ui/cursor_file.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

void U16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void U32(Bytes& b, uint32_t v) { AppendU32LE(b, v); }

// A bitmap header for a cursor image of width x height (the stored height is doubled).
Bytes DibHeader(int width, int height, int bitCount, uint32_t colorsUsed = 0) {
  Bytes b;
  U32(b, 40);
  U32(b, uint32_t(width));
  U32(b, uint32_t(height * 2));
  U16(b, 1);
  U16(b, uint16_t(bitCount));
  U32(b, 0);  // BI_RGB
  U32(b, 0);
  U32(b, 0);
  U32(b, 0);
  U32(b, colorsUsed);
  U32(b, 0);
  return b;
}

Bytes CursorFile(const Bytes& image, uint16_t hotX, uint16_t hotY, uint16_t type = 2) {
  Bytes b;
  U16(b, 0);
  U16(b, type);
  U16(b, 1);
  b.insert(b.end(), {32, 32, 0, 0});
  U16(b, hotX);
  U16(b, hotY);
  U32(b, uint32_t(image.size()));
  U32(b, 22);
  b.insert(b.end(), image.begin(), image.end());
  return b;
}

// A 2 x 2, 32-bit image: rows stored bottom-up, BGRA, then the (unused) AND mask.
Bytes Image32() {
  Bytes b = DibHeader(2, 2, 32);
  // bottom row: blue opaque, half-transparent green
  b.insert(b.end(), {255, 0, 0, 255, 0, 255, 0, 128});
  // top row: red opaque, fully transparent
  b.insert(b.end(), {0, 0, 255, 255, 0, 0, 0, 0});
  b.insert(b.end(), 8, 0);  // mask rows of 4 bytes
  return b;
}

// A 2 x 2 monochrome image: palette black and white, colour bits and AND mask.
Bytes Image1() {
  Bytes b = DibHeader(2, 2, 1);
  b.insert(b.end(), {0, 0, 0, 0, 255, 255, 255, 0});
  // colour rows (bottom-up): bottom = white, black; top = black, white
  b.insert(b.end(), {0x80, 0, 0, 0, 0x40, 0, 0, 0});
  // mask rows (bottom-up): bottom = opaque both; top = transparent, opaque
  b.insert(b.end(), {0x00, 0, 0, 0, 0x80, 0, 0, 0});
  return b;
}

TEST(CursorFile, ReadsTrueColourWithAlphaAndHotspot) {
  auto cursor = ParseCursorFile(CursorFile(Image32(), 1, 0));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->width, 2);
  EXPECT_EQ(cursor->height, 2);
  EXPECT_EQ(cursor->hotX, 1);
  EXPECT_EQ(cursor->hotY, 0);
  EXPECT_EQ(cursor->argb, (std::vector<uint32_t>{0xFFFF0000, 0x00000000, 0xFF0000FF, 0x8000FF00}));
}

TEST(CursorFile, MonochromeTakesTransparencyFromTheMask) {
  auto cursor = ParseCursorFile(CursorFile(Image1(), 5, 9));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->argb, (std::vector<uint32_t>{0x00000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}));
  // The hotspot stays on the picture.
  EXPECT_EQ(cursor->hotX, 1);
  EXPECT_EQ(cursor->hotY, 1);
}

TEST(CursorFile, AnimatedCursorShowsItsFirstFrame) {
  const Bytes frame = CursorFile(Image32(), 0, 1);
  Bytes list;
  list.insert(list.end(), {'f', 'r', 'a', 'm'});
  list.insert(list.end(), {'i', 'c', 'o', 'n'});
  U32(list, uint32_t(frame.size()));
  list.insert(list.end(), frame.begin(), frame.end());
  if (frame.size() & 1) list.push_back(0);
  Bytes anih = {'a', 'n', 'i', 'h'};
  U32(anih, 36);
  anih.insert(anih.end(), 36, 0);
  Bytes body = {'A', 'C', 'O', 'N'};
  body.insert(body.end(), anih.begin(), anih.end());
  body.insert(body.end(), {'L', 'I', 'S', 'T'});
  U32(body, uint32_t(list.size()));
  body.insert(body.end(), list.begin(), list.end());
  Bytes file = {'R', 'I', 'F', 'F'};
  U32(file, uint32_t(body.size()));
  file.insert(file.end(), body.begin(), body.end());

  auto cursor = ParseCursorFile(file);
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->hotY, 1);
  EXPECT_EQ(cursor->argb[0], 0xFFFF0000u);

  // Every truncation of it is refused or read, never read past.
  for (size_t cut = 0; cut < file.size(); ++cut) ParseCursorFile(ByteSpan(file.data(), cut));
}

TEST(CursorFile, RefusesWhatItCannotShow) {
  EXPECT_FALSE(ParseCursorFile(Bytes{}));
  EXPECT_FALSE(ParseCursorFile(Bytes{0, 0, 2, 0, 0, 0}));  // no images
  const Bytes good = CursorFile(Image1(), 0, 0);
  for (size_t cut = 0; cut < good.size(); ++cut) EXPECT_FALSE(ParseCursorFile(ByteSpan(good.data(), cut))) << cut;

  Bytes huge = CursorFile(DibHeader(100000, 100000, 32), 0, 0);
  EXPECT_FALSE(ParseCursorFile(huge));
  Bytes png = CursorFile(Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0}, 0, 0);
  EXPECT_FALSE(ParseCursorFile(png));
  Bytes offsetOut = CursorFile(Image1(), 0, 0);
  offsetOut[18] = 0xFF;  // image offset far past the end
  EXPECT_FALSE(ParseCursorFile(offsetOut));
}

TEST(CursorFile, ScalingKeepsTheHotspotOnItsPixel) {
  auto cursor = ParseCursorFile(CursorFile(Image32(), 1, 1));
  ASSERT_TRUE(cursor);
  const CursorImage big = ScaleCursor(*cursor, 3);
  EXPECT_EQ(big.width, 6);
  EXPECT_EQ(big.hotX, 3);
  EXPECT_EQ(big.argb[size_t(5) * 6 + 5], cursor->argb[3]);
  EXPECT_EQ(big.argb[2], cursor->argb[0]);
}

}  // namespace
}  // namespace orv
