#include "graphics/bmp_decoder.h"

#include <gtest/gtest.h>

#include <climits>

#include "graphics/picture_test_files.h"

namespace orv {
namespace {

using test::BmpFields;
using test::BuildBmp;
using test::PackRows;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
const std::vector<Rgb> kFour = {kRed, kGreen, kBlue, kWhite};

Image Decode(const Bytes& file) {
  Result<Image> d = DecodeBmp(file);
  EXPECT_TRUE(d.ok()) << (d.ok() ? "" : d.error().message);
  return std::move(d).value_or(Image());
}

Error ErrorOf(const Bytes& file) {
  Result<Image> d = DecodeBmp(file);
  EXPECT_FALSE(d.ok());
  return d.ok() ? Error{} : d.error();
}

void ExpectRow(const Image& image, int y, const std::vector<Rgb>& colours) {
  ASSERT_EQ(image.width(), int(colours.size()));
  for (int x = 0; x < image.width(); ++x) EXPECT_EQ(image.Pixel(x, y), colours[size_t(x)]) << "x=" << x << " y=" << y;
}

// A 3 x 2 indexed picture, bottom-up: the file's first row is the picture's bottom row.
TEST(BmpDecoder, IndexedDepthsBottomUp) {
  for (uint16_t bits : {1, 2, 4, 8}) {
    SCOPED_TRACE(bits);
    BmpFields s;
    s.bitsPerPixel = bits;
    s.width = 3;
    s.height = 2;
    const uint32_t top = bits == 1 ? 0 : 3;
    s.palette = bits == 1 ? std::vector<Rgb>{kRed, kGreen} : kFour;
    s.pixels = PackRows(bits, {{1, 0, 1}, {top, 1, 0}});
    Image image = Decode(BuildBmp(s));
    ASSERT_EQ(image.height(), 2);
    ExpectRow(image, 1, {kGreen, kRed, kGreen});
    ExpectRow(image, 0, {s.palette[top], kGreen, kRed});
  }
}

TEST(BmpDecoder, TrueColourRowsAndPadding) {
  // Width 3 at 24 bits: 9 bytes of pixels and 3 of padding per row.
  BmpFields s;
  s.width = 3;
  s.height = 2;
  s.pixels = PackRows(24, {{0xFF0000, 0x00FF00, 0x0000FF}, {0x102030, 0x405060, 0x708090}});
  Image bottomUp = Decode(BuildBmp(s));
  ExpectRow(bottomUp, 1, {kRed, kGreen, kBlue});
  ExpectRow(bottomUp, 0, {{0x10, 0x20, 0x30}, {0x40, 0x50, 0x60}, {0x70, 0x80, 0x90}});

  s.height = -2;  // top-down: the same bytes, the rows the other way round
  Image topDown = Decode(BuildBmp(s));
  ExpectRow(topDown, 0, {kRed, kGreen, kBlue});

  s.height = 2;
  s.bitsPerPixel = 32;  // alpha byte ignored
  s.pixels = PackRows(32, {{0xFFFF0000, 0x0000FF00, 0x800000FF}, {0, 0, 0}});
  ExpectRow(Decode(BuildBmp(s)), 1, {kRed, kGreen, kBlue});
}

TEST(BmpDecoder, SixteenBitDefaultAndBitFieldsWidenAsTheScreenDoes) {
  EXPECT_EQ(WidenChannel(31, 5), 255);
  EXPECT_EQ(WidenChannel(16, 5), 132);
  EXPECT_EQ(WidenChannel(63, 6), 255);
  EXPECT_EQ(WidenChannel(1, 6), 4);
  EXPECT_EQ(WidenChannel(3, 2), 0xF0);  // one repetition only, as the screen's conversion does
  EXPECT_EQ(WidenChannel(0x3FF, 10), 255);
  EXPECT_EQ(WidenChannel(0x200, 10), 128);

  BmpFields s;  // 5-5-5 without masks
  s.bitsPerPixel = 16;
  s.width = 4;
  s.pixels = PackRows(16, {{0x7FFF, 0x7C00, 0x4210, 0x001F}});
  ExpectRow(Decode(BuildBmp(s)), 0, {{255, 255, 255}, {255, 0, 0}, {132, 132, 132}, {0, 0, 255}});

  s.compression = 3;  // 5-6-5 masks after a 40-byte header
  s.masks = {0xF800, 0x07E0, 0x001F};
  s.pixels = PackRows(16, {{0xFFFF, 0x07E0, 0x0020, 0x8000}});
  const std::vector<Rgb> expected565 = {{255, 255, 255}, {0, 255, 0}, {0, 4, 0}, {132, 0, 0}};
  ExpectRow(Decode(BuildBmp(s)), 0, expected565);

  s.headerSize = 108;  // the same masks inside a v4 header
  ExpectRow(Decode(BuildBmp(s)), 0, expected565);
  s.headerSize = 124;
  ExpectRow(Decode(BuildBmp(s)), 0, expected565);

  s.headerSize = 40;  // four masks after the header for BI_ALPHABITFIELDS; 4-4-4-4
  s.compression = 6;
  s.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
  s.pixels = PackRows(16, {{0xFF00, 0x00F0, 0x000F, 0x0888}});
  ExpectRow(Decode(BuildBmp(s)), 0, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {136, 136, 136}});
}

TEST(BmpDecoder, ThirtyTwoBitArbitraryMasks) {
  BmpFields s;
  s.bitsPerPixel = 32;
  s.compression = 3;
  s.width = 3;
  // 10-bit channels, red in the low bits: the top 8 of each 10 are kept.
  s.masks = {0x000003FF, 0x000FFC00, 0x3FF00000};
  s.pixels = PackRows(32, {{0x3FF, 0x200u << 10, 0x3FFu << 20}});
  ExpectRow(Decode(BuildBmp(s)), 0, {kRed, {0, 128, 0}, kBlue});

  s.masks = {0, 0, 0};  // no channels at all: black, not a crash
  ExpectRow(Decode(BuildBmp(s)), 0, {kBlack, kBlack, kBlack});
}

TEST(BmpDecoder, Rle8RunsLiteralsDeltaAndEnds) {
  BmpFields s;
  s.bitsPerPixel = 8;
  s.compression = 1;
  s.width = 5;
  s.height = 3;
  s.palette = kFour;
  s.pixels = {
      2, 1,           // two greens
      0, 3, 2, 3, 0,  0,  // literal blue white red, padded to even
      0, 0,           // end of line
      0, 2, 1, 1,     // delta: right 1, up 1 (to the top row, x = 1)
      1, 3,           // one white
      0, 1,           // end of bitmap
      5, 2,           // never read
  };
  Image image = Decode(BuildBmp(s));
  ExpectRow(image, 2, {kGreen, kGreen, kBlue, kWhite, kRed});
  ExpectRow(image, 1, {kBlack, kBlack, kBlack, kBlack, kBlack});  // jumped over: never written
  ExpectRow(image, 0, {kBlack, kWhite, kBlack, kBlack, kBlack});

  // Runs longer than the row are cut at the edge (no wrap), and data that stops without an
  // end-of-bitmap keeps what was decoded.
  s.pixels = {9, 0, 0, 0, 1, 3};
  image = Decode(BuildBmp(s));
  ExpectRow(image, 2, {kRed, kRed, kRed, kRed, kRed});
  ExpectRow(image, 1, {kWhite, kBlack, kBlack, kBlack, kBlack});
  ExpectRow(image, 0, {kBlack, kBlack, kBlack, kBlack, kBlack});

  // A delta far past the picture, and a literal cut off by the end of the file.
  s.pixels = {0, 2, 255, 255, 0, 2, 0, 255, 0, 9, 1};
  EXPECT_TRUE(DecodeBmp(BuildBmp(s)).ok());
}

TEST(BmpDecoder, Rle4NibblesAndOddLiteral) {
  BmpFields s;
  s.bitsPerPixel = 4;
  s.compression = 2;
  s.width = 6;
  s.height = -1;  // top-down run-length data is accepted too
  s.palette = kFour;
  s.pixels = {
      3, 0x12,           // green blue green
      0, 3, 0x30, 0x20,  // literal white red blue: two bytes, already even
      0, 1,
  };
  ExpectRow(Decode(BuildBmp(s)), 0, {kGreen, kBlue, kGreen, kWhite, kRed, kBlue});

  s.pixels = {0, 5, 0x12, 0x30, 0x10, 0xEE, 0, 0, 1, 0x22};  // a 5-nibble literal takes 3 bytes + 1 padding
  s.height = 2;
  Image image = Decode(BuildBmp(s));
  ExpectRow(image, 1, {kGreen, kBlue, kWhite, kRed, kGreen, kBlack});
  ExpectRow(image, 0, {kBlue, kBlack, kBlack, kBlack, kBlack, kBlack});
}

TEST(BmpDecoder, Os2Headers) {
  BmpFields core;  // 12-byte header, 16-bit sizes, 3-byte palette entries
  core.headerSize = 12;
  core.bitsPerPixel = 8;
  core.width = 2;
  core.height = 1;
  core.palette = std::vector<Rgb>(256, kBlue);
  core.palette[1] = kRed;
  core.pixels = PackRows(8, {{1, 0}});
  ExpectRow(Decode(BuildBmp(core)), 0, {kRed, kBlue});

  // An OS/2 1.x table is as long as the room before the bits: two entries here, so the
  // pixel bytes are not mistaken for colours.
  core.palette = {kGreen, kRed};
  core.pixels = PackRows(8, {{1, 5}});
  ExpectRow(Decode(BuildBmp(core)), 0, {kRed, kBlack});

  for (uint32_t size : {16u, 24u, 64u}) {  // OS/2 2.x, with missing fields as zero
    SCOPED_TRACE(size);
    BmpFields os2;
    os2.headerSize = size;
    os2.bitsPerPixel = 4;
    os2.width = 2;
    os2.colorsUsed = 2;  // read only by headers that hold the field
    os2.palette = size >= 36 ? std::vector<Rgb>{kRed, kGreen} : std::vector<Rgb>(16, kWhite);
    if (size < 36) os2.palette[0] = kRed, os2.palette[1] = kGreen;
    os2.pixels = PackRows(4, {{1, 0}});
    ExpectRow(Decode(BuildBmp(os2)), 0, {kGreen, kRed});
  }

  BmpFields huffman;  // compression 3 means Huffman 1D under an OS/2 header
  huffman.headerSize = 64;
  huffman.bitsPerPixel = 16;
  huffman.compression = 3;
  huffman.pixels = {0, 0, 0, 0};
  EXPECT_EQ(ErrorOf(BuildBmp(huffman)).kind, ErrorKind::Unsupported);
}

TEST(BmpDecoder, ShortAndLongPalettes) {
  BmpFields s;
  s.bitsPerPixel = 8;
  s.width = 3;
  s.colorsUsed = 2;
  s.palette = {kRed, kGreen};
  s.pixels = PackRows(8, {{0, 1, 200}});  // index 200 lies past the table: black
  ExpectRow(Decode(BuildBmp(s)), 0, {kRed, kGreen, kBlack});

  s.bitsPerPixel = 1;  // a table longer than the depth needs: the extra entries are unused
  s.colorsUsed = 4;
  s.palette = kFour;
  s.pixels = PackRows(1, {{1, 0, 1}});
  ExpectRow(Decode(BuildBmp(s)), 0, {kGreen, kRed, kGreen});

  s.colorsUsed = 0xFFFFFFFF;  // absurd count: clamped, no allocation
  EXPECT_TRUE(DecodeBmp(BuildBmp(s)).ok());
}

TEST(BmpDecoder, TruncatedPixelsDecodeWhatIsThere) {
  BmpFields s;
  s.width = 2;
  s.height = 3;
  s.pixels = PackRows(24, {{0xFF0000, 0xFF0000}, {0x00FF00, 0x00FF00}, {0x0000FF, 0x0000FF}});
  s.pixels.resize(8 + 3);  // the bottom row and one pixel of the next
  Image image = Decode(BuildBmp(s));
  ExpectRow(image, 2, {kRed, kRed});
  ExpectRow(image, 1, {kGreen, kBlack});
  ExpectRow(image, 0, {kBlack, kBlack});
}

TEST(BmpDecoder, RefusesBrokenHeadersAndSizes) {
  BmpFields good;
  good.width = 2;
  good.height = 2;
  good.pixels = Bytes(16, 0x7F);
  ASSERT_TRUE(DecodeBmp(BuildBmp(good)).ok());

  Bytes notBm = BuildBmp(good);
  notBm[0] = 'X';
  ErrorOf(notBm);
  const Bytes whole = BuildBmp(good);
  ErrorOf(Bytes(whole.begin(), whole.begin() + 30));  // header cut off
  ErrorOf({});

  // What is wrong decides the kind: damaged data, a size past the limits, or a variant this
  // player does not handle.
  using enum ErrorKind;
  auto refused = [&](ErrorKind kind, std::string_view message, auto change) {
    BmpFields s = good;
    change(s);
    const Error error = ErrorOf(BuildBmp(s));
    EXPECT_EQ(error.kind, kind) << error.message;
    EXPECT_EQ(error.message, "BMP: " + std::string(message));
  };
  refused(TooLarge, "picture size out of range", [](BmpFields& s) { s.width = kMaxPictureSide + 1; });
  refused(Malformed, "picture size out of range", [](BmpFields& s) { s.width = 0; });
  refused(Malformed, "picture size out of range", [](BmpFields& s) { s.width = -2; });
  refused(TooLarge, "picture size out of range", [](BmpFields& s) { s.height = INT_MIN; });
  refused(TooLarge, "picture size out of range", [](BmpFields& s) { s.width = 8192, s.height = 8192; });
  refused(Unsupported, "unsupported bits per pixel", [](BmpFields& s) { s.bitsPerPixel = 7; });
  refused(Unsupported, "unsupported compression", [](BmpFields& s) { s.compression = 4; });  // embedded JPEG
  refused(Malformed, "RLE8 needs 8 bits per pixel", [](BmpFields& s) { s.compression = 1; });
  refused(Malformed, "bit fields need 16 or 32 bits per pixel",
          [](BmpFields& s) { s.compression = 3, s.masks = {1, 2, 4}; });
  refused(Malformed, "truncated colour masks",
          [](BmpFields& s) { s.bitsPerPixel = 16, s.compression = 3, s.pixels.clear(); });
  refused(Malformed, "bad header size", [](BmpFields& s) { s.headerSize = 8; });
  refused(Malformed, "pixel data starts past the end of the file", [](BmpFields& s) { s.pixelOffset = 1000; });
  refused(Malformed, "pixel data starts past the end of the file",
          [](BmpFields& s) { s.pixelOffset = uint32_t(54 + s.pixels.size()); });
}

TEST(BmpDecoder, OffsetIntoTheHeadersMeansBitsFollowTheTable) {
  BmpFields s;
  s.bitsPerPixel = 8;
  s.width = 2;
  s.colorsUsed = 2;
  s.palette = {kRed, kGreen};
  s.pixels = PackRows(8, {{1, 0}});
  s.pixelOffset = 0;
  ExpectRow(Decode(BuildBmp(s)), 0, {kGreen, kRed});
}

TEST(BmpDecoder, LargestSideDecodes) {
  BmpFields s;
  s.width = kMaxPictureSide;
  s.height = 1;
  s.pixels = Bytes(size_t(kMaxPictureSide) * 3, 0xFF);
  Image image = Decode(BuildBmp(s));
  EXPECT_EQ(image.width(), kMaxPictureSide);
  EXPECT_EQ(image.Pixel(kMaxPictureSide - 1, 0), kWhite);
}

}  // namespace
}  // namespace orv
