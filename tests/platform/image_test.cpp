#include "platform/image.h"
#include "platform/text_layer.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>

namespace orv {
namespace {

// Every pixel of the image as the colour function says it should be.
template <typename Expected>
void ExpectPixels(const Image& image, Expected expected) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.Pixel(x, y), expected(x, y)) << x << "," << y;
}

TEST(Image, FillRectFillsExactlyTheClippedRectangle) {
  const Rgb back{1, 2, 3}, grey{77, 77, 77}, colour{200, 10, 60};
  for (const Rect r : {Rect{2, 1, 5, 3}, Rect{-3, -2, 4, 2}, Rect{5, 3, 20, 20}, Rect{0, 0, 7, 5}}) {
    for (const Rgb c : {grey, colour}) {
      Image image(7, 5);
      image.Fill(back);
      image.FillRect(r, c);
      ExpectPixels(image, [&](int x, int y) { return r.Contains(x, y) ? c : back; });
    }
  }
  Image image(7, 5);
  image.FillRect(Rect{3, 3, 1, 4}, colour);  // empty: right before left
  image.FillRect(Rect{7, 0, 9, 5}, colour);  // wholly outside
  ExpectPixels(image, [](int, int) { return Rgb{}; });
}

TEST(Image, FillingBlackAfterAnyWriteLeavesItBlack) {
  // Filling black skips an image nothing has written to since it was black; each way of
  // writing must be seen.
  const Rgb red{255, 0, 0};
  const std::function<void(Image&)> writes[] = {
      [&](Image& image) { image.SetPixel(2, 1, red); },
      [](Image& image) { image.row(1)[4] = 7; },
      [](Image& image) { image.bytes()[10] = 7; },
      [&](Image& image) { image.FillRect(Rect{1, 1, 3, 2}, red); },
      [&](Image& image) { image.Fill(Rgb{9, 9, 9}); },
      [&](Image& image) {
        Image patch(2, 2);
        patch.Fill(red);
        CopyRect(image, 1, 0, patch, patch.bounds());
      },
      [&](Image& image) {
        Image painted(5, 3);
        painted.Fill(red);
        image = painted;
      },
  };
  for (size_t i = 0; i < std::size(writes); ++i) {
    SCOPED_TRACE(i);
    Image image(5, 3);
    image.Fill(Rgb{});
    writes[i](image);
    image.Fill(Rgb{});
    ExpectPixels(image, [](int, int) { return Rgb{}; });
    // And a black copy of a written image is black.
    Image other(5, 3);
    writes[i](other);
    other.FillRect(other.bounds(), Rgb{});
    const Image copy = other;
    ExpectPixels(copy, [](int, int) { return Rgb{}; });
  }
}

TEST(Image, CopyRectWithinOneImageMovesPixelsThatOverlap) {
  // Each pixel's colour names where it stood, so a copy that overwrote its own source
  // before reading it would show.
  Image image(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) image.SetPixel(x, y, Rgb{uint8_t(x), uint8_t(y), 9});
  const Image before = image;
  CopyRect(image, 1, 1, image, Rect{0, 0, 5, 3});  // one down and one right, overlapping
  ExpectPixels(image, [&](int x, int y) { return x >= 1 && y >= 1 ? before.Pixel(x - 1, y - 1) : before.Pixel(x, y); });

  Image rows = before;
  CopyRect(rows, 0, 1, rows, Rect{0, 0, 6, 3});  // whole rows down by one
  ExpectPixels(rows, [&](int x, int y) { return before.Pixel(x, y >= 1 ? y - 1 : y); });

  Image other(3, 3);
  CopyRect(other, -1, 1, before, Rect{2, 0, 6, 4});  // clipped at the left and the bottom
  ExpectPixels(other, [&](int x, int y) { return y >= 1 ? before.Pixel(x + 3, y - 1) : Rgb{}; });
}

TEST(Image, ABlendedRunIsEachPixelBlendedAndClipped) {
  const uint8_t coverage[] = {0, 1, 128, 254, 255, 0, 77};
  const Rgb color{200, 40, 90};
  for (const int x : {-9, -3, 0, 2, 5, 8}) {
    for (const int y : {-1, 0, 2, 3}) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      Image run(8, 3), pixels(8, 3);
      for (Image* image : {&run, &pixels})
        for (int py = 0; py < 3; ++py)
          for (int px = 0; px < 8; ++px) image->SetPixel(px, py, Rgb{uint8_t(px * 30), uint8_t(py * 80), 7});
      BlendRun(run, x, y, color, coverage, int(std::size(coverage)));
      for (int i = 0; i < int(std::size(coverage)); ++i) BlendPixel(pixels, x + i, y, color, coverage[i]);
      EXPECT_TRUE(run == pixels);
    }
  }
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST(ImageForOverwrite, RefusesWhatTheConstructorRefusesAndClearsWhenAskedToFillBlack) {
  EXPECT_TRUE(Image::ForOverwrite(-1, 5).empty());
  EXPECT_TRUE(Image::ForOverwrite(kMaxPictureSide + 1, 1).empty());
  // Memory that held something else, as a decoder's fresh buffer may: filling black must
  // clear it, not take it for black already.
  { std::vector<uint8_t> used(64 * 64 * 3, 0xAB); }
  Image image = Image::ForOverwrite(64, 64);
  ASSERT_EQ(image.bytes().size(), size_t(64 * 64 * 3));
  image.Fill(Rgb{});
  for (uint8_t b : image.bytes()) ASSERT_EQ(b, 0);
}

}  // namespace
}  // namespace orv
