// The wait mark blinks beside the last line at the message box's right edge: each blink changes
// only the mark's square, and every second blink gives the window back exactly. A game without the mark
// (or a hidden message window) has nothing to blink.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "graphics/picture_test_files.h"
#include "support/player_session.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

// The smallest rectangle holding every pixel in which the two pictures differ; empty when
// they are the same.
Rect Differences(const Image& a, const Image& b) {
  Rect r{a.width(), a.height(), 0, 0};
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const Rgb p = a.Pixel(x, y), q = b.Pixel(x, y);
      if (p.r == q.r && p.g == q.g && p.b == q.b) continue;
      r = Rect{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    }
  return r;
}

bool Same(const Image& a, const Image& b) { return Differences(a, b).right == 0; }

void WriteIcons(const TempDir& game) {
  Image icon = SolidImage(8, 8, Rgb{250, 250, 0});
  icon.SetPixel(0, 7, Rgb{});  // the see-through colour
  for (const char* name : {"icon1.bmp", "icon2.bmp"}) game.Write(name, BmpOf(icon));
}

TEST(WaitIndicator, EachBlinkChangesOnlyTheMarkBesideTheLastLineAndTwoGiveTheWindowBack) {
  TempDir game, saves;
  WriteGame(game, {.scenario = {"~BOXSIZE 0,300,600,480", "~TXTPOS 20,310", "~FONTSIZE 16", "~NVMODE 1,0,100",
                                "\"一行目\"\\n", "\"二行目\"\\n"}});
  WriteIcons(game);
  FontRenderer fonts;
  Session s(game.path(), saves.path(), fonts);
  s.Play(0);
  // Blink by blink, from a moment on: the mark comes and goes with each one.
  std::vector<Image> frames;
  for (int i = 0; i < 4; ++i) {
    s.AdvanceClock(100);
    frames.push_back(s.player.stage().WindowPicture());
  }
  EXPECT_TRUE(Same(frames[0], frames[2]));
  EXPECT_TRUE(Same(frames[1], frames[3]));

  const Rect changed = Differences(frames[0], frames[1]);
  ASSERT_NE(changed.right, 0) << "a blink changes the window";
  EXPECT_EQ(changed.right, 600 - 5);
  EXPECT_EQ(changed.right - changed.left, 8);
  EXPECT_EQ(changed.bottom - changed.top, 8);
  // Beside the line just typed: within its line of text, below the box's top.
  EXPECT_GE(changed.top, 310);
  EXPECT_LE(changed.bottom, 310 + 16 + 8);

  // Hidden, the window has no mark to blink; shown again, it blinks on.
  s.player.MouseDown(MouseButton::Right, 10, 10);
  const Image hidden = s.player.stage().WindowPicture();
  s.AdvanceClock(300);
  EXPECT_TRUE(Same(s.player.stage().WindowPicture(), hidden));
}

}  // namespace
}  // namespace orv::test
