// The message window's style commands through the headless player.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;

json RunAndDump(const TempDir& dir) {
  RunHeadlessGame(dir.path(), {"dump d.json", "shot s.bmp"});
  return ReadDump(dir, "d.json");
}

TEST(MessageWindow, StyleCommandsStoreWhatTheyAreGiven) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"!big:300!", "~FONTSIZE !big", "~FONTCOLOR 300,2,3,0", "~FONTCOLOR 9,9,9,3",
                               "~FONTCOLOR 1,2,3,2", "~FONTNAME \"ＭＳ ゴシック\"", "~TXTPOS 15,25",
                               "~TXTSPR 6", "~BOXCOL 10,20,30,1000", "\"x\"\\n"}});
  json s = RunAndDump(dir);
  EXPECT_EQ(s["SceneState"]["fontSize"], 44);         // 300 from a variable keeps its low byte
  EXPECT_EQ(s["textColor"], 44 + 2 * 256 + 3 * 65536);  // each component its low byte; kind 3 ignored
  EXPECT_EQ(s["SceneState"]["choiceHoverColor"], 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(s["SceneState"]["fontName"], "ＭＳ ゴシック");  // the blank is kept
  EXPECT_EQ(s["SceneState"]["lineSpacing"], 6);
  EXPECT_EQ(s["SceneState"]["boxAlpha"], 255);
  EXPECT_EQ(s["SceneState"]["boxBlue"], 30);
  // BOXCOL moved the cursor to the origin, so the text started there; it has moved on by one
  // character since, on the same line.
  EXPECT_EQ(s["textCursorY"], 25 + 6 + 44);
}

TEST(MessageWindow, TheBoxIsTintedFromTheStageAndClippedToIt) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~BOXSIZE -20,400,700,600", "~BOXCOL 255,0,0,128", "~BOXCOL 0,0,0,-5", "\"\"\\n"}});
  RunHeadlessGame(dir.path(), {"shot s.bmp"});
  std::string bmp = dir.Read("s.bmp");
  ASSERT_EQ(bmp.size(), 54u + 640 * 480 * 3);
  // Strength -5 is stored as 0: the last BOXCOL left the black stage untouched.
  for (size_t i = 54; i < bmp.size(); ++i) ASSERT_EQ(bmp[i], 0) << i;

  TempDir tinted;
  WriteGame(tinted, {.scenario = {"~BOXSIZE -20,400,700,600", "~BOXCOL 255,0,0,128", "\"\"\\n"}});
  RunHeadlessGame(tinted.path(), {"shot s.bmp"});
  bmp = tinted.Read("s.bmp");
  // Bottom row (first in the file), left edge: ((255 - 0) * 128 + 0 * 256) >> 8 = 127 in red.
  EXPECT_EQ(uint8_t(bmp[54 + 2]), 127);
  EXPECT_EQ(uint8_t(bmp[54 + 0]), 0);
  // Row 399 from the top stays black above the box.
  const size_t row399 = 54 + size_t(479 - 399) * 1920;
  EXPECT_EQ(uint8_t(bmp[row399 + 2]), 0);
}

// Text typed without a delay reaches the window even when the step ends without a line or
// page end, and a hide-and-show keeps it.
TEST(MessageWindow, TextTypedAtOnceIsOnTheWindowWhenTheStepEndsOtherwise) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~FONTCOLOR 255,255,255,0", "~FONTSIZE 24", "\\n", "\"ABC\"", "~WAIT", "\"D\"\\n"}});
  // The fastest speed of this game types with no delay.
  RunHeadlessGame(dir.path(), {"menu vol1", "click", "shot typed.bmp", "rclick", "click", "shot shown.bmp"});
  for (const char* shot : {"typed.bmp", "shown.bmp"}) {
    const std::string bmp = dir.Read(shot);
    ASSERT_EQ(bmp.size(), 54u + 640 * 480 * 3) << shot;
    int lit = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 60; ++x) lit += uint8_t(bmp[54 + size_t(479 - y) * 1920 + size_t(x) * 3]) > 128;
    EXPECT_GT(lit, 20) << shot;
  }
}

}  // namespace
}  // namespace orv::test
