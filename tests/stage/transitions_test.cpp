// The transition effects drawn in-process: step counts, pacing, geometry and the held button.
#include <gtest/gtest.h>

#include <array>

#include "graphics/transitions.h"
#include "stage/stage_test_support.h"

namespace orv::test {
namespace {

class Transitions : public ::testing::Test {
 protected:
  Transitions() {
    rig.stage.Surface() = before;
  }
  void Run(int effect, int speed, bool held = false) {
    rig.clock.SetButtonHeld(held);
    RunTransition(rig.stage, effect, speed, after);
  }
  // The old picture with the pixels for which `drawn` holds taken from the new one.
  Image Mixed(const std::function<bool(int x, int y)>& drawn) const {
    return Picture(kStageWidth, kStageHeight,
                   [&](int x, int y) { return drawn(x, y) ? after.Pixel(x, y) : before.Pixel(x, y); });
  }

  const Image before = OldStage();
  const Image after = NewStage();
  StageRig rig;
};

TEST_F(Transitions, EachEffectTakesItsStepsPausesAfterEachAndEndsOnTheTarget) {
  constexpr std::array<int, 17> kSteps = {0, 10, 10, 10, 10, 320, 240, 32, 43, 16, 4, 320, 320, 480, 480, 16, 4};
  rig.host.keepFrames = false;
  for (int effect = 1; effect <= 16; ++effect) {
    SCOPED_TRACE(effect);
    rig.stage.Surface() = before;
    rig.host.times.clear();
    const uint32_t start = rig.clock.NowMs();
    Run(effect, 3);
    ASSERT_EQ(rig.host.times.size(), size_t(kSteps[size_t(effect)]));
    for (size_t i = 0; i < rig.host.times.size(); ++i) ASSERT_EQ(rig.host.times[i], start + 3 * i);
    EXPECT_EQ(rig.clock.NowMs(), start + 3 * uint32_t(kSteps[size_t(effect)]));
    // The cross-fade ends one rounding short; every other effect has drawn all of the target.
    if (effect != 9) {
      EXPECT_EQ(rig.stage.WindowPicture(), after);
    }
  }
}

TEST_F(Transitions, NumbersWithoutAnEffectDrawNothing) {
  for (int effect : {0, -1, 17, 18, 19, 20, 1000}) Run(effect, 5);
  EXPECT_TRUE(rig.host.times.empty());
  EXPECT_EQ(rig.clock.NowMs(), 0u);
  EXPECT_EQ(rig.stage.WindowPicture(), before);
}

TEST_F(Transitions, SpeedZeroRunsEveryStepWithoutPausing) {
  rig.host.keepFrames = false;
  Run(13, 0);
  EXPECT_EQ(rig.host.times.size(), 480u);
  EXPECT_EQ(rig.clock.NowMs(), 0u);
  EXPECT_EQ(rig.stage.WindowPicture(), after);
}

TEST_F(Transitions, InterlacedEffectsDrawEveryLineExactlyOnce) {
  for (int effect : {5, 6}) {
    SCOPED_TRACE(effect);
    rig.stage.Surface() = before;
    rig.host.keepFrames = false;
    Image shown = before;
    int newPixels = 0;
    bool eachStepTwoLines = true;
    rig.host.onPresent = [&](const Image& frame) {
      const int changed = DifferingPixels(shown, frame);
      eachStepTwoLines &= changed == 2 * (effect == 5 ? kStageHeight : kStageWidth);
      newPixels += changed;
      shown = frame;
    };
    Run(effect, 1);
    EXPECT_TRUE(eachStepTwoLines);
    EXPECT_EQ(newPixels, kStageWidth * kStageHeight);
    EXPECT_EQ(shown, after);
  }
}

TEST_F(Transitions, StaggeredBandsGrowOnePixelPerStep) {
  Run(7, 1);
  ASSERT_EQ(rig.host.frames.size(), 32u);
  for (int s = 0; s < 32; ++s) {
    const Image& frame = rig.host.frames[size_t(s)].image;
    for (int row = 0; row < kStageHeight; ++row) {
      const int band = row / 15, within = row % 15;
      const bool drawn = band <= s || (band - s <= 14 && within < 15 - (band - s));
      ASSERT_EQ(frame.Pixel(0, row), drawn ? after.Pixel(0, row) : before.Pixel(0, row)) << "step " << s << " row " << row;
    }
  }
}

TEST_F(Transitions, AHeldButtonLeavesOneColumnPerPassOfTheBlinds) {
  Run(1, 2, true);
  ASSERT_EQ(rig.host.frames.size(), 10u);
  for (int p = 0; p < 10; ++p)
    EXPECT_EQ(rig.host.frames[size_t(p)].image, Mixed([p](int x, int) { return x <= p; })) << "pass " << p;
  EXPECT_EQ(rig.clock.NowMs(), 20u);  // every pass still pauses
}

TEST_F(Transitions, AHeldButtonShortensEachPassOfTheRightwardBands) {
  Run(8, 1, true);
  ASSERT_EQ(rig.host.frames.size(), 43u);
  // Each pass draws only its first band, 15 columns wide at the front.
  EXPECT_EQ(rig.host.frames.back().image, after);
  EXPECT_EQ(rig.host.frames[0].image, Mixed([](int x, int) { return x < 15; }));
}

TEST_F(Transitions, AHeldButtonStopsTheOtherEffectsAfterTheirFirstStep) {
  rig.host.keepFrames = false;
  for (int effect : {5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16}) {
    SCOPED_TRACE(effect);
    rig.stage.Surface() = before;
    rig.host.times.clear();
    Run(effect, 4, true);
    EXPECT_EQ(rig.host.times.size(), 1u);
  }
  // The cross-fade's first step changes nothing.
  rig.stage.Surface() = before;
  Run(9, 4, true);
  EXPECT_EQ(rig.host.last, before);
}

}  // namespace
}  // namespace orv::test
