#include "graphics/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/picture_test_files.h"

namespace orv {
namespace {

using test::EncodeJpeg;
using test::JpegFile;

// JPEG is lossy: flat colours come back within a few steps.
void ExpectNear(Rgb actual, Rgb expected, int tolerance = 6) {
  EXPECT_NEAR(actual.r, expected.r, tolerance);
  EXPECT_NEAR(actual.g, expected.g, tolerance);
  EXPECT_NEAR(actual.b, expected.b, tolerance);
}

// Left half one colour, right half another: checks both colours and that no side got swapped.
Image TwoColours(int width, int height, Rgb left, Rgb right) {
  Image image(width, height);
  image.Fill(left);
  image.FillRect({width / 2, 0, width, height}, right);
  return image;
}

TEST(JpegDecoder, ColourBaselineAndProgressive) {
  const Rgb orange{240, 120, 20}, teal{20, 140, 160};
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive);
    Result<Image> d = DecodeJpeg(JpegFile(TwoColours(32, 24, orange, teal), progressive));
    ASSERT_TRUE(d.ok()) << (d.ok() ? "" : d.error().message);
    EXPECT_EQ(d->width(), 32);
    EXPECT_EQ(d->height(), 24);
    ExpectNear(d->Pixel(3, 3), orange);
    ExpectNear(d->Pixel(28, 20), teal);
  }
}

TEST(JpegDecoder, GrayscaleBecomesEqualChannels) {
  Bytes gray(16 * 8, 0);
  for (size_t i = 0; i < gray.size(); ++i) gray[i] = (i % 16) < 8 ? 40 : 200;
  Result<Image> d = DecodeJpeg(EncodeJpeg(gray, 16, 8, JCS_GRAYSCALE, 1, JCS_GRAYSCALE));
  ASSERT_TRUE(d.ok()) << (d.ok() ? "" : d.error().message);
  const Rgb dark = d->Pixel(2, 2), light = d->Pixel(13, 5);
  EXPECT_EQ(dark.r, dark.g);
  EXPECT_EQ(dark.g, dark.b);
  EXPECT_NEAR(dark.r, 40, 6);
  EXPECT_NEAR(light.r, 200, 6);
}

// libjpeg writes an Adobe marker with CMYK, so the samples follow Adobe's inverted convention:
// 255 means no ink.
TEST(JpegDecoder, CmykAndYcck) {
  Bytes cmyk;
  for (int i = 0; i < 16 * 16; ++i) {
    const bool left = i % 16 < 8;
    // left: no cyan, full magenta and yellow, no black = red; right: half black = gray 128
    static constexpr uint8_t kRedInk[4] = {255, 0, 0, 255}, kHalfBlack[4] = {255, 255, 255, 128};
    const uint8_t* ink = left ? kRedInk : kHalfBlack;
    cmyk.insert(cmyk.end(), ink, ink + 4);
  }
  for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
    SCOPED_TRACE(int(stored));
    Result<Image> d = DecodeJpeg(EncodeJpeg(cmyk, 16, 16, JCS_CMYK, 4, stored));
    ASSERT_TRUE(d.ok()) << (d.ok() ? "" : d.error().message);
    ExpectNear(d->Pixel(2, 8), {255, 0, 0});
    ExpectNear(d->Pixel(13, 8), {128, 128, 128});
  }
}

TEST(JpegDecoder, TruncatedFileShowsWhatWasDecoded) {
  // A busy picture, so that the scan data outweighs the tables in front of it.
  Image picture(128, 128);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) picture.SetPixel(x, y, {uint8_t(x * 2), uint8_t(y * 2), uint8_t((x ^ y) * 7)});
  picture.FillRect({0, 0, 16, 16}, {200, 30, 30});
  Bytes file = JpegFile(picture);
  file.resize(file.size() * 2 / 3);
  Result<Image> d = DecodeJpeg(file);
  ASSERT_TRUE(d.ok()) << (d.ok() ? "" : d.error().message);
  EXPECT_EQ(d->width(), 128);
  ExpectNear(d->Pixel(5, 2), {200, 30, 30});
}

TEST(JpegDecoder, BrokenFilesAreErrorsNotExits) {
  const Bytes good = JpegFile(test::SolidImage(16, 16, {1, 2, 3}));
  auto refused = [](const Bytes& file) {
    Result<Image> d = DecodeJpeg(file);
    EXPECT_FALSE(d.ok());
    return d.ok() ? Error{} : d.error();
  };
  refused({});
  refused(Bytes(good.begin(), good.begin() + 2));  // only the start-of-image marker
  refused(Bytes(good.begin(), good.begin() + 40));  // cut inside the headers
  refused(Bytes{'B', 'M', 0, 0, 0, 0});
  Bytes noise(300);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 37 + 11);
  noise[0] = 0xFF, noise[1] = 0xD8;
  refused(noise);
}

// A frame header claiming more pixels than the decoders accept is refused before any
// allocation for the picture.
TEST(JpegDecoder, RefusesAbsurdSizes) {
  Bytes file = JpegFile(test::SolidImage(16, 16, {9, 9, 9}));
  size_t sof = 0;
  for (size_t i = 0; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  ASSERT_NE(sof, 0u);
  auto withSize = [&](uint16_t width, uint16_t height) {
    Bytes f = file;
    f[sof + 5] = uint8_t(height >> 8), f[sof + 6] = uint8_t(height);
    f[sof + 7] = uint8_t(width >> 8), f[sof + 8] = uint8_t(width);
    return f;
  };
  for (auto [width, height] : {std::pair{kMaxPictureSide + 1, 16}, std::pair{8000, 8000}}) {
    const Result<Image> refused = DecodeJpeg(withSize(uint16_t(width), uint16_t(height)));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, ErrorKind::TooLarge);
    EXPECT_EQ(refused.error().message, "JPEG: picture size out of range");
  }
  EXPECT_TRUE(DecodeJpeg(withSize(64, 16)).ok());  // the same file at a sane size still decodes
}

}  // namespace
}  // namespace orv
