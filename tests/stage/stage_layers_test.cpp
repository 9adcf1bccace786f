// Layers put back into a stage, as rollback does: whole, or not at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "platform/text_layer.h"
#include "stage/stage_test_support.h"

namespace orv::test {
namespace {

bool SameText(const TextLayer& a, const TextLayer& b) {
  const auto same = [](std::span<const uint8_t> x, std::span<const uint8_t> y) {
    return std::equal(x.begin(), x.end(), y.begin(), y.end());
  };
  return same(a.colorBytes(), b.colorBytes()) && same(a.coverageBytes(), b.coverageBytes());
}

void ExpectSameLayers(const Stage& s, const KeptLayers& k) {
  EXPECT_EQ(DifferingPixels(s.BackgroundLayer(), k.background), 0);
  EXPECT_EQ(DifferingPixels(s.StageLayer(), k.stage), 0);
  EXPECT_EQ(DifferingPixels(s.TintLayer(), k.tint), 0);
  EXPECT_EQ(DifferingPixels(s.ScreenLayer(), k.screen), 0);
  EXPECT_EQ(DifferingPixels(s.WindowPicture(), k.window), 0);
  EXPECT_TRUE(SameText(s.TextOnScreen(), k.text));
}

// A stage with a picture, a tinted box and two lines of text, shown.
void Dress(StageRig& rig) {
  rig.scene.boxLeft = 20;
  rig.scene.boxTop = 300;
  rig.scene.boxRight = 620;
  rig.scene.boxBottom = 470;
  rig.scene.boxAlpha = 140;
  rig.scene.boxBlue = 90;
  KeptLayers k = KeepLayers(rig.stage);
  k.background = NewStage();
  k.stage = OldStage();
  ASSERT_TRUE(PutLayersBack(rig.stage, k));
  const FontSpec font{"", 16, Rgb{250, 240, 10}};
  rig.stage.TypeText("\x82\xA0\x82\xA2 one", 40, 320, font, 0, true);
  rig.stage.TypeText("\x82\xA4 two", 40, 400, font, 0, true);
  rig.stage.PresentStage();
}

TEST(StageLayers, AStageGivenAnothersLayersShowsAndBehavesTheSame) {
  StageRig source;
  Dress(source);
  const KeptLayers kept = KeepLayers(source.stage);

  StageRig copy;
  copy.scene = source.scene;
  ASSERT_TRUE(PutLayersBack(copy.stage, kept));
  ExpectSameLayers(copy.stage, kept);
  // Where the text lies is worked out again from the coverage: a present that skipped rows it
  // believes empty would lose the text here.
  for (int row : {318, 328, 408})
    EXPECT_EQ(copy.stage.TextOnScreen().RowHasText(row), source.stage.TextOnScreen().RowHasText(row));
  copy.stage.PresentStage();
  EXPECT_EQ(DifferingPixels(copy.host.last, source.host.last), 0);
  source.stage.ClearMessageText();
  copy.stage.ClearMessageText();
  EXPECT_EQ(DifferingPixels(copy.stage.WindowPicture(), source.stage.WindowPicture()), 0);
  EXPECT_FALSE(copy.stage.TextOnScreen().AnyCoverage());

  // Its own layers put back change nothing.
  const KeptLayers before = KeepLayers(copy.stage);
  EXPECT_TRUE(copy.stage.PutBackLayers(copy.stage.BackgroundLayer(), copy.stage.StageLayer(), copy.stage.TintLayer(),
                                       copy.stage.ScreenLayer(), copy.stage.WindowPicture(),
                                       copy.stage.TextOnScreen()));
  ExpectSameLayers(copy.stage, before);
}

TEST(StageLayers, ALayerOfAnotherSizeLeavesEveryLayerAsItWas) {
  StageRig rig;
  Dress(rig);
  const KeptLayers before = KeepLayers(rig.stage);
  const Image narrow(kStageWidth - 1, kStageHeight), empty;
  for (Image KeptLayers::*layer :
       {&KeptLayers::background, &KeptLayers::stage, &KeptLayers::tint, &KeptLayers::screen, &KeptLayers::window})
    for (const Image* wrong : {&narrow, &empty}) {
      KeptLayers offered = KeepLayers(rig.stage);
      offered.stage = NewStage();  // a change that must not be made either
      offered.*layer = *wrong;
      EXPECT_FALSE(PutLayersBack(rig.stage, offered));
      ExpectSameLayers(rig.stage, before);
    }
  KeptLayers shortText = KeepLayers(rig.stage);
  shortText.stage = NewStage();
  shortText.text = TextLayer(kStageWidth, kStageHeight - 1);
  EXPECT_FALSE(PutLayersBack(rig.stage, shortText));
  ExpectSameLayers(rig.stage, before);
}

}  // namespace
}  // namespace orv::test
