// Presenting the stage: the one-pass present against the steps it replaces, layer by layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/blend.h"
#include "platform/text_layer.h"
#include "stage/stage_test_support.h"

namespace orv::test {
namespace {

uint8_t Formula(int p, int target, int opacity) { return uint8_t(((target - p) * opacity + p * 256) >> 8); }

// The layers as the former present built them: the stage copied to the screen, the screen
// to the tint layer, the box tinted by the formula, the box back onto the screen, every
// covered pixel of the text blended over it, the screen onto the window.
struct Layers {
  Image tint, screen, window;
};

Layers FormerPresent(const Stage& stage, const SceneState& s, Rgb textColor) {
  Layers out{stage.StageLayer(), stage.StageLayer(), {}};
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
    for (int x = 0; x < kStageWidth; ++x) BlendPixel(out.screen, x, y, textColor, stage.TextOnScreen().CoverageAt(x, y));
  out.window = out.screen;
  return out;
}

void Plant(Stage& s, const KeptLayers& layers) { ASSERT_TRUE(PutLayersBack(s, layers)); }

// The text alone goes; every other layer stays as it is.
void ClearText(Stage& s) {
  KeptLayers layers = KeepLayers(s);
  layers.text.Clear();
  Plant(s, layers);
}

void ExpectLayers(const Stage& s, const Layers& expected) {
  EXPECT_EQ(DifferingPixels(s.TintLayer(), expected.tint), 0);
  EXPECT_EQ(DifferingPixels(s.ScreenLayer(), expected.screen), 0);
  EXPECT_EQ(DifferingPixels(s.WindowPicture(), expected.window), 0);
}

TEST(StagePresent, OnePassGivesEveryLayerTheFormerStepsGave) {
  StageRig rig;
  Stage& stage = rig.stage;
  KeptLayers planted = KeepLayers(stage);
  planted.stage = OldStage();
  planted.screen = NewStage();  // stale layers must not show through
  planted.tint = NewStage();
  Plant(stage, planted);
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
    ClearText(stage);
    stage.TypeText(line, 10 + 60 * round, 30 + 90 * round, font, 0, true);
    stage.TypeText(line, 600, 200 + round, font, 0, true);  // runs off the right edge
    ++round;
    const Layers expected = FormerPresent(stage, rig.scene, color);
    stage.PresentStage();
    ExpectLayers(stage, expected);
    EXPECT_EQ(DifferingPixels(rig.host.last, expected.window), 0);
  }
  ClearText(stage);
  EXPECT_FALSE(stage.TextOnScreen().AnyCoverage());
  stage.PresentStage();
  EXPECT_EQ(stage.ScreenLayer(), stage.TintLayer());
}

TEST(StagePresent, EveryLayerIsRepairedWhereverItDiffersAlone) {
  // A present leaves rows alone that already hold what it would write; a row that differs in
  // one layer only, by one byte at either end, must still be rewritten in that layer.
  StageRig rig;
  Stage& stage = rig.stage;
  KeptLayers planted = KeepLayers(stage);
  planted.stage = OldStage();
  Plant(stage, planted);
  rig.scene.boxLeft = 20;
  rig.scene.boxTop = 300;
  rig.scene.boxRight = 620;
  rig.scene.boxBottom = 470;
  rig.scene.boxAlpha = 150;
  const Rgb color{255, 255, 255};
  stage.TypeText("\x82\xA0\x82\xA2 text", 40, 320, FontSpec{"", 16, color}, 0, true);
  stage.PresentStage();
  const Layers expected = FormerPresent(stage, rig.scene, color);
  ASSERT_EQ(DifferingPixels(stage.WindowPicture(), expected.window), 0);
  const int textRow = 328;  // holds text
  ASSERT_TRUE(stage.TextOnScreen().RowHasText(textRow));
  for (Image KeptLayers::*layer : {&KeptLayers::tint, &KeptLayers::screen, &KeptLayers::window})
    for (int row : {5, 310, textRow})
      for (int column : {0, kStageWidth - 1}) {
        SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
        KeptLayers damaged = KeepLayers(stage);
        uint8_t& byte = (damaged.*layer).row(row)[column * 3 + (column ? 2 : 0)];
        byte = uint8_t(byte ^ 0x40);
        Plant(stage, damaged);
        stage.PresentStage();
        ExpectLayers(stage, expected);
      }
  EXPECT_EQ(DifferingPixels(rig.host.last, expected.window), 0);
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

TEST(TextLayerBlend, EveryFormBlendsEveryByteTripleByTheFormula) {
  // Every (text, background) byte pair under every coverage, once per form; the offset start
  // and the count three short of the buffer leave unaligned loads and a tail in every run.
  constexpr size_t kPairs = 65536;
  std::vector<uint8_t> color(kPairs + 1), coverage(kPairs + 1), actual(kPairs + 1), expected(kPairs + 1);
  const std::vector<TextBlendKernel> kernels = TextBlendKernels();
  EXPECT_GE(kernels.size(), 1u);
  for (size_t form = 0; form < kernels.size(); ++form)
    for (int a = 0; a < 256; ++a) {
      for (size_t i = 0; i < kPairs; ++i) {
        const unsigned c = unsigned(i >> 8), d = unsigned(i & 255);
        color[i + 1] = uint8_t(c);
        coverage[i + 1] = uint8_t(a);
        actual[i + 1] = uint8_t(d);
        expected[i + 1] = i < kPairs - 3 ? uint8_t((c * unsigned(a) + d * (255u - unsigned(a)) + 127) / 255) : uint8_t(d);
      }
      kernels[form](actual.data() + 1, color.data() + 1, coverage.data() + 1, kPairs - 3);
      ASSERT_EQ(actual, expected) << "form " << form << " coverage " << a;
    }
}

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

TEST(TextLayerBlend, ARunPlotsWhatItsPixelsOneByOneWould) {
  // Runs crossing every edge, over and under earlier text of other strengths and colours.
  TextLayer byRun(40, 6), byPixel(40, 6);
  uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, int(seed >> 16); };
  for (int n = 0; n < 400; ++n) {
    const int x = next() % 60 - 10, y = next() % 8 - 1, count = next() % 30;
    const Rgb color{uint8_t(next()), uint8_t(next()), uint8_t(next())};
    std::vector<uint8_t> coverage(static_cast<size_t>(count));
    for (uint8_t& c : coverage) c = next() % 3 == 0 ? 0 : uint8_t(next());
    byRun.PlotRun(x, y, color, coverage.data(), count);
    for (int i = 0; i < count; ++i)
      if (coverage[size_t(i)] != 0) byPixel.Plot(x + i, y, color, coverage[size_t(i)]);
    if (n % 50 == 49) {
      Image a(40, 6), b(40, 6);
      a.Fill(Rgb{10, 200, 30});
      b.Fill(Rgb{10, 200, 30});
      byRun.DrawOver(a);
      byPixel.DrawOver(b);
      ASSERT_EQ(DifferingPixels(a, b), 0) << "after run " << n;
      for (int row = 0; row < 6; ++row) ASSERT_EQ(byRun.RowHasText(row), byPixel.RowHasText(row));
    }
  }
}

}  // namespace
}  // namespace orv::test
