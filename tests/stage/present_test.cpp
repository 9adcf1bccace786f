// Presenting the stage: the tint's vector form against the game's formula, and the one-pass
// present against the steps it replaces, layer by layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/box_tint.h"
#include "platform/text_layer.h"
#include "stage/stage_test_support.h"

namespace orv::test {
namespace {

uint8_t Formula(int p, int target, int opacity) { return uint8_t(((target - p) * opacity + p * 256) >> 8); }

TEST(BoxTint, EveryPixelTargetAndOpacityFollowsTheFormula) {
  // 256 pixels whose three channels each run through every value; the source starts one pixel
  // into its buffer so that no load is aligned.
  std::vector<uint8_t> src(257 * 3), dst(257 * 3);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) src[size_t(3 + i * 3 + c)] = uint8_t(i + 85 * c);
  int wrong = 0;
  for (int opacity = 0; opacity < 256; ++opacity)
    for (int t = 0; t < 256; ++t) {
      const int target[3] = {t, t ^ 0x55, 255 - t};  // blue, green, red
      TintPixels(src.data() + 3, dst.data() + 3, 256,
                 BoxTint{uint8_t(opacity), uint8_t(target[0]), uint8_t(target[1]), uint8_t(target[2])});
      for (size_t b = 3; b < src.size(); ++b) wrong += dst[b] != Formula(src[b], target[(b - 3) % 3], opacity);
    }
  EXPECT_EQ(wrong, 0);
}

TEST(BoxTint, EveryWidthTintsInPlaceAndStopsAtItsEnd) {
  const BoxTint tint{200, 10, 220, 130};
  const int target[3] = {10, 220, 130};
  for (int width = 0; width <= 40; ++width) {
    std::vector<uint8_t> row(size_t(width + 2) * 3);
    for (size_t b = 0; b < row.size(); ++b) row[b] = uint8_t(b * 37 + 11);
    const std::vector<uint8_t> before = row;
    TintPixels(row.data() + 3, row.data() + 3, width, tint);
    for (size_t b = 0; b < row.size(); ++b) {
      const bool inside = b >= 3 && b < size_t(width + 1) * 3;
      ASSERT_EQ(row[b], inside ? Formula(before[b], target[b % 3], 200) : before[b]) << width << " " << b;
    }
  }
}

// The layers as the former present built them: the stage copied to the screen, the screen
// to the tint layer, the box tinted by the formula, the box back onto the screen, every
// covered pixel of the text blended over it, the screen onto the window.
struct Layers {
  Image tint, screen, window;
};

Layers FormerPresent(const Stage& stage, const SceneState& s, Rgb textColor) {
  Layers out{stage.stageImage, stage.stageImage, {}};
  const Rect box = ClipRect(Rect{s.boxLeft, s.boxTop, s.boxRight, s.boxBottom}, out.tint);
  const int target[3] = {s.boxBlue, s.boxGreen, s.boxRed};
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      for (int c = 0; c < 3; ++c) {
        uint8_t& p = out.tint.row(y)[x * 3 + c];
        p = Formula(p, target[c], s.boxAlpha);
      }
  if (!box.Empty()) CopySameRect(out.screen, out.tint, box);
  for (int y = 0; y < kStageHeight; ++y)
    for (int x = 0; x < kStageWidth; ++x) BlendPixel(out.screen, x, y, textColor, stage.textImage.CoverageAt(x, y));
  out.window = out.screen;
  return out;
}

TEST(StagePresent, OnePassGivesEveryLayerTheFormerStepsGave) {
  StageRig rig;
  Stage& stage = rig.stage;
  stage.stageImage = OldStage();
  stage.screenImage = NewStage();  // stale layers must not show through
  stage.tintImage = NewStage();
  const Rgb color{250, 240, 10};
  const FontSpec font{"", 16, color};
  const std::string line = "\x82\xA0\x82\xA2\x82\xA4 text \x81\xA1";
  struct Box {
    int left, top, right, bottom;
    uint8_t alpha;
  };
  // A box inside the stage, one cut at three edges, one empty, and the two extreme opacities.
  const Box boxes[] = {{20, 340, 620, 470, 128}, {-30, 400, 700, 520, 77}, {300, 300, 300, 400, 200},
                       {0, 0, 640, 480, 255},    {5, 7, 333, 111, 0}};
  int round = 0;
  for (const Box& b : boxes) {
    SCOPED_TRACE(round);
    rig.scene.boxLeft = b.left;
    rig.scene.boxTop = b.top;
    rig.scene.boxRight = b.right;
    rig.scene.boxBottom = b.bottom;
    rig.scene.boxAlpha = b.alpha;
    rig.scene.boxRed = uint8_t(40 * round);
    rig.scene.boxGreen = uint8_t(255 - 30 * round);
    rig.scene.boxBlue = uint8_t(90 + round);
    // The text moves between rounds: rows that held text before must be clean again.
    stage.textImage.Clear();
    stage.TypeText(line, 10 + 60 * round, 30 + 90 * round, font, 0, true);
    stage.TypeText(line, 600, 200 + round, font, 0, true);  // runs off the right edge
    ++round;
    const Layers expected = FormerPresent(stage, rig.scene, color);
    stage.PresentStage();
    EXPECT_EQ(DifferingPixels(stage.tintImage, expected.tint), 0);
    EXPECT_EQ(DifferingPixels(stage.screenImage, expected.screen), 0);
    EXPECT_EQ(DifferingPixels(stage.windowSurface, expected.window), 0);
    EXPECT_EQ(DifferingPixels(rig.host.last, expected.window), 0);
  }
  stage.textImage.Clear();
  EXPECT_FALSE(stage.textImage.AnyCoverage());
  stage.PresentStage();
  EXPECT_EQ(stage.screenImage, stage.tintImage);
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

TEST(TextLayerBlend, EveryCoverageColourAndBackgroundFollowsTheFormula) {
  // A row of 256 pixels whose background runs through every value, under text of one colour
  // and one coverage at a time.
  TextLayer layer(256, 1);
  Image background(256, 1);
  for (int x = 0; x < 256; ++x) background.SetPixel(x, 0, Rgb{uint8_t(x), uint8_t(255 - x), uint8_t(x ^ 0x5A)});
  int wrong = 0;
  for (int coverage = 1; coverage < 256; ++coverage)
    for (int c = 0; c < 256; ++c) {
      const Rgb color{uint8_t(c), uint8_t(c ^ 0xFF), uint8_t(c * 7)};
      layer.Clear();
      for (int x = 0; x < 256; ++x) layer.Plot(x, 0, color, uint8_t(coverage));
      Image blended = background, expected = background;
      layer.DrawOver(blended);
      for (int x = 0; x < 256; ++x) BlendPixel(expected, x, 0, color, uint8_t(coverage));
      wrong += DifferingPixels(blended, expected);
    }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace orv::test
