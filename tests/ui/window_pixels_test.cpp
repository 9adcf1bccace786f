// Window pixels drawn one damaged rectangle at a time must agree with the stage drawn whole.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/window_pixels.h"

namespace orv {
namespace {

Image Pattern() {
  Image stage(kStageWidth, kStageHeight);
  for (int y = 0; y < kStageHeight; ++y)
    for (int x = 0; x < kStageWidth; ++x) stage.SetPixel(x, y, Rgb{uint8_t(x * 7), uint8_t(y * 3), uint8_t(x ^ y)});
  return stage;
}

struct Buffer {
  std::vector<uint32_t> pixels;
  WindowPixels view;
  Buffer(int w, int h) : pixels(size_t(w) * size_t(h), 0xDEADBEEF), view{pixels.data(), w, h, size_t(w)} {}
};

TEST(WindowPixels, ChangedStagePixelsRedrawnAloneMatchTheWholeStageAtAnyScale) {
  const Image before = Pattern();
  Image after = before;
  after.FillRect(Rect{101, 53, 117, 69}, Rgb{255, 0, 255});
  const Rect changed{101, 53, 117, 69};
  // Whole multiples, a fit between them, a stretch, and a stage smaller than itself.
  for (const Rect where : {Rect{0, 20, 1280, 980}, Rect{5, 0, 805, 600}, Rect{0, 0, 1000, 700}, Rect{3, 3, 323, 243}}) {
    Buffer whole(where.right + 2, where.bottom + 2), partial(where.right + 2, where.bottom + 2);
    DrawScaled(after, where, whole.view.bounds(), whole.view);
    DrawScaled(before, where, partial.view.bounds(), partial.view);
    const Rect damage = StageToWindow(changed, where);
    DrawScaled(after, where, damage, partial.view);
    EXPECT_EQ(whole.pixels, partial.pixels) << where.right << "x" << where.bottom;
    // Nothing outside the stage's place was touched.
    EXPECT_EQ(whole.pixels.back(), 0xDEADBEEF);
  }
}

TEST(WindowPixels, PixelsAreBlueLowRedHighAndDrawingStaysInsideItsClip) {
  Image tiny(2, 1);
  tiny.SetPixel(0, 0, Rgb{0x11, 0x22, 0x33});
  tiny.SetPixel(1, 0, Rgb{0x44, 0x55, 0x66});
  Buffer out(6, 3);
  // Doubled onto (1, 1), clipped to leave out its last column; the target clips its bottom row.
  DrawScaled(tiny, Rect{1, 1, 5, 3}, Rect{0, 0, 4, 3}, out.view);
  EXPECT_EQ(out.pixels[6 + 1], 0x112233u);
  EXPECT_EQ(out.pixels[6 + 3], 0x445566u);
  EXPECT_EQ(out.pixels[12 + 2], 0x112233u);
  EXPECT_EQ(out.pixels[6 + 4], 0xDEADBEEFu);  // outside the clip
  EXPECT_EQ(out.pixels[6 + 0], 0xDEADBEEFu);  // outside the place
  FillPixels(Rect{-3, -3, 2, 1}, Rgb{1, 2, 3}, out.view);
  EXPECT_EQ(out.pixels[0], 0x010203u);
  EXPECT_EQ(out.pixels[2], 0xDEADBEEFu);
  EXPECT_TRUE(StageToWindow(Rect{700, 0, 800, 10}, Rect{0, 0, 1280, 960}).Empty());
}

}  // namespace
}  // namespace orv
