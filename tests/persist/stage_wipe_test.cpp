#include <gtest/gtest.h>

#include "persist/stage_wipe.h"

namespace orv {
namespace {

TEST(StageWipe, BandsGrowFromTheirUpperEdgeInThirtyTwoRounds) {
  Image screen(kStageWidth, kStageHeight), source(kStageWidth, kStageHeight);
  source.Fill(Rgb{200, 100, 50});
  int rounds = 0;
  Image afterFirst;
  StageWipe(screen, source, [&] {
    if (rounds++ == 0) afterFirst = screen;
  });
  EXPECT_EQ(rounds, 32);
  EXPECT_EQ(screen, source);
  // After the first round band j holds its top 15 - j rows (band 0 whole, band 14 one row).
  auto copied = [&](int y) { return afterFirst.Pixel(639, y) == Rgb{200, 100, 50}; };
  EXPECT_TRUE(copied(14));
  EXPECT_TRUE(copied(28));
  EXPECT_FALSE(copied(29));
  EXPECT_TRUE(copied(210));
  EXPECT_FALSE(copied(211));
  EXPECT_FALSE(copied(225));
}

}  // namespace
}  // namespace orv
