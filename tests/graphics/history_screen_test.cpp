#include "graphics/history_screen.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlue{0, 0, 255};

// A window whose every pixel differs from its neighbours, so that any change shows.
Image BusyWindow() {
  Image image(kStageWidth, kStageHeight);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.SetPixel(x, y, Rgb{uint8_t(x * 7), uint8_t(y * 5), uint8_t(x ^ y)});
  return image;
}

// A pixel that a glyph drawn with its cell at (0, 0) covers fully.
struct Point {
  int x, y;
};
Point SolidInkPoint(FontRenderer& fonts, std::string_view sjis, int size) {
  Image probe(64, 64);
  fonts.Draw(probe, 0, 0, sjis, FontSpec{"", size, kWhite});
  long sx = 0, sy = 0, n = 0;
  for (int y = 0; y < probe.height(); ++y)
    for (int x = 0; x < probe.width(); ++x)
      if (probe.Pixel(x, y) == kWhite) sx += x, sy += y, ++n;
  EXPECT_GT(n, 0) << "no font draws the glyph";
  return n ? Point{int(sx / n), int(sy / n)} : Point{0, 0};
}

struct Rig {
  FontRenderer fonts;
  Image window = BusyWindow();
  SceneState scene;
  MessageHistory history;
  int32_t pageIndex = 0;
  HistoryScreen screen;

  Rig() {
    scene.historyFontSize = 12;
    scene.historyRight = kStageWidth;
    scene.historyBottom = kStageHeight;
    scene.historyTextColor = 0xFFFFFF;
  }
  HistoryView View() { return HistoryView{window, fonts, scene, history, pageIndex}; }
  void Open(int x = 0, int y = 0) {
    screen.Open(View(), [](std::string_view) { return nullptr; }, x, y);
  }
  // The pages 0 .. n - 1 finished, one line each naming the page; page n being written.
  void FinishPages(int n) {
    for (int p = 0; p <= n; ++p) history.Append(p, "page" + std::to_string(p));
    pageIndex = n;
  }
};

TEST(HistoryScreen, ArrowZonesAreStrictAndTheUpZoneIsShorter) {
  Rig rig;
  rig.scene.historyLeft = 100;
  rig.scene.historyTop = 50;
  rig.scene.historyRight = 400;
  rig.scene.historyBottom = 300;
  rig.Open();
  // x from 369 to 399, y from 51 to 77 (27 rows) up, from 269 to 299 (31 rows) down.
  for (int x = 360; x <= 405; ++x)
    for (int y = 40; y <= 310; ++y) {
      rig.screen.MouseMove(rig.View(), x, y);
      const bool inColumn = x > 368 && x < 400;
      const int16_t expected = inColumn && y > 50 && y < 78     ? kUpArrowZone
                               : inColumn && y > 268 && y < 300 ? kDownArrowZone
                                                                : kOutsideArrows;
      ASSERT_EQ(rig.screen.hoverZone(), expected) << x << "," << y;
    }
}

TEST(HistoryScreen, TheArrowUnderThePointerLightsUpInBlue) {
  Rig rig;
  const Point up = SolidInkPoint(rig.fonts, "\x81\xA3", 24);
  const Point down = SolidInkPoint(rig.fonts, "\x81\xA5", 24);
  const auto upPixel = [&] { return rig.window.Pixel(640 - 32 + up.x, up.y); };
  const auto downPixel = [&] { return rig.window.Pixel(640 - 32 + down.x, 480 - 32 + down.y); };
  rig.Open(620, 10);  // opens with the pointer over the up arrow
  EXPECT_EQ(rig.screen.hoverZone(), kUpArrowZone);
  EXPECT_EQ(upPixel(), kBlue);
  EXPECT_EQ(downPixel(), kWhite);
  rig.screen.MouseMove(rig.View(), 620, 470);
  EXPECT_EQ(upPixel(), kWhite);
  EXPECT_EQ(downPixel(), kBlue);
  rig.screen.MouseMove(rig.View(), 300, 300);
  EXPECT_EQ(upPixel(), kWhite);
  EXPECT_EQ(downPixel(), kWhite);
}

TEST(HistoryScreen, PagesTurnWithinTheFinishedOnesAndAClickElsewhereRestoresTheWindow) {
  Rig rig;
  rig.FinishPages(3);
  const Image before = rig.window;
  rig.Open();
  EXPECT_EQ(rig.screen.shownPage(), 2);
  rig.screen.MouseMove(rig.View(), 620, 10);
  std::vector<int> pages;
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(rig.screen.Click(rig.View()));
    pages.push_back(rig.screen.shownPage());
  }
  rig.screen.MouseMove(rig.View(), 620, 470);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(rig.screen.Click(rig.View()));
    pages.push_back(rig.screen.shownPage());
  }
  EXPECT_EQ(pages, (std::vector<int>{1, 0, 0, 1, 2, 2}));
  EXPECT_NE(rig.window, before);
  rig.screen.MouseMove(rig.View(), 300, 200);
  EXPECT_TRUE(rig.screen.Click(rig.View()));
  EXPECT_EQ(rig.window, before);
}

// The rows in which the window differs from the screen's backdrop.
std::vector<int> InkedRows(const Image& window, const Image& work, int left, int right) {
  std::vector<int> rows;
  for (int y = 0; y < window.height(); ++y)
    for (int x = left; x < right; ++x)
      if (window.Pixel(x, y) != work.Pixel(x, y)) {
        rows.push_back(y);
        break;
      }
  return rows;
}

TEST(HistoryScreen, LinesStandFontSizePlusSpacingApartAndAllOfAFullPageIsDrawn) {
  Rig rig;
  rig.scene.historyTextX = 20;
  rig.scene.historyTextY = 30;
  rig.scene.historyFontSize = 16;
  rig.scene.historyLineSpacing = 14;
  rig.history.Append(0, "\x81\xA1");  // ■, a full-height block
  rig.history.NewLine(0);
  rig.history.NewLine(0);
  rig.history.Append(0, "\x81\xA1");
  rig.pageIndex = 1;
  rig.Open(300, 300);
  // Lines 0 and 2 (line 1 is empty) in their cells: 16 points draw in a 22-pixel cell.
  const std::vector<int> rows = InkedRows(rig.window, rig.screen.workBitmap(), 0, 200);
  ASSERT_FALSE(rows.empty());
  const int cell = rig.fonts.CellHeight(FontSpec{"", 16, kWhite});
  for (int y : rows) EXPECT_TRUE((y >= 30 && y < 30 + cell) || (y >= 90 && y < 90 + cell)) << y;
  EXPECT_LT(rows.front(), 30 + cell);
  EXPECT_GE(rows.back(), 90);

  // A page of 256 lines: the last one too, pulled into view by a text origin far above.
  Rig full;
  for (int i = 0; i < kHistoryLines + 10; ++i) {
    full.history.Append(0, "\x81\xA1");
    full.history.NewLine(0);
  }
  ASSERT_EQ(full.history.page(0).lineCount(), kHistoryLines - 1);
  full.scene.historyTextY = -255 * 12 + 100;
  full.pageIndex = 1;
  full.Open(300, 300);
  const std::vector<int> fullRows = InkedRows(full.window, full.screen.workBitmap(), 0, 200);
  ASSERT_FALSE(fullRows.empty());
  EXPECT_GE(fullRows.front(), 0);
  EXPECT_LT(fullRows.back(), 100 + full.fonts.CellHeight(FontSpec{"", 12, kWhite}));
}

TEST(HistoryScreen, TintFollowsTheFormulaInsideTheBoxCutAtTheWindowEdges) {
  SceneState scene;
  scene.historyLeft = -5;
  scene.historyTop = 470;
  scene.historyRight = 3;
  scene.historyBottom = 900;
  scene.historyTintRed = 50;
  scene.historyTintGreen = 10;
  scene.historyTintBlue = 250;
  scene.historyTintStrength = 128;
  Image image(kStageWidth, kStageHeight);
  image.Fill(Rgb{200, 0, 255});
  TintHistoryBox(image, scene);
  // ((T - V) x strength + V x 256) >> 8 per channel.
  EXPECT_EQ(image.Pixel(0, 479), (Rgb{125, 5, 252}));
  EXPECT_EQ(image.Pixel(2, 470), (Rgb{125, 5, 252}));
  EXPECT_EQ(image.Pixel(3, 470), (Rgb{200, 0, 255}));
  EXPECT_EQ(image.Pixel(0, 469), (Rgb{200, 0, 255}));

  scene.historyLeft = 0;
  scene.historyTop = 0;
  scene.historyRight = 640;
  scene.historyBottom = 480;
  scene.historyTintStrength = 255;
  image.Fill(Rgb{255, 255, 255});
  TintHistoryBox(image, scene);
  EXPECT_EQ(image.Pixel(320, 240), (Rgb{50, 10, 250}));  // almost exactly the tint colour
  image.Fill(Rgb{0, 0, 0});
  TintHistoryBox(image, scene);
  EXPECT_EQ(image.Pixel(320, 240), (Rgb{49, 9, 249}));
  scene.historyTintStrength = 0;
  const Image untouched = BusyWindow();
  image = untouched;
  TintHistoryBox(image, scene);
  EXPECT_EQ(image, untouched);
}

TEST(HistoryScreen, AbsurdBoxAndTextPlacesDrawNothingOutsideTheWindow) {
  Rig rig;
  rig.FinishPages(2);
  rig.scene.historyLeft = INT32_MIN;
  rig.scene.historyTop = INT32_MIN;
  rig.scene.historyRight = INT32_MAX;
  rig.scene.historyBottom = INT32_MAX;
  rig.scene.historyTextY = INT32_MAX - 5;
  rig.scene.historyLineSpacing = INT32_MAX;
  rig.scene.historyTintStrength = 255;
  rig.Open(INT32_MAX, INT32_MIN);
  EXPECT_EQ(rig.screen.hoverZone(), kOutsideArrows);
  EXPECT_EQ(rig.window.Pixel(5, 5), Rgb{});  // tinted all over towards black
  EXPECT_TRUE(rig.screen.Click(rig.View()));
  EXPECT_EQ(rig.window, BusyWindow());
}

}  // namespace
}  // namespace orv
