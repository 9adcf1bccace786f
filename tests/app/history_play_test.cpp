// The history screen and its style commands, and the volume dialog, through the headless
// player.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/image.h"
#include "platform/image_files.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;

// A pixel of a 24-bit 640 x 480 screenshot as the player writes them (bottom-up rows).
Rgb ShotPixel(const std::string& bmp, int x, int y) {
  const size_t at = 54 + size_t(479 - y) * 1920 + size_t(x) * 3;
  if (bmp.size() < 54 + 640 * 480 * 3) return Rgb{1, 2, 3};
  return Rgb{uint8_t(bmp[at + 2]), uint8_t(bmp[at + 1]), uint8_t(bmp[at])};
}

bool AnyPixel(const std::string& bmp, Rect area, Rgb color) {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (ShotPixel(bmp, x, y) == color) return true;
  return false;
}

// Two finished pages and a third being written, with the history box at 20, 20 - 620, 460.
GameSpec HistoryGame(const std::string& mode = "~TMODE 1") {
  return GameSpec{.scenario = {mode, "~TBOXSIZE 20,20,620,460", "~TSCREENCOLOR 0,0,64,160", "~TFONTSIZE 16",
                               "~TTXTPOS 40,40", "~TTXTSPR 8", "~TFONTCOLOR 255,255,0", "~BOXSIZE 0,400,640,480",
                               "~BOXCOL 0,64,0,128", "\"page one\"\\p", "\"page two\"\\p", "\"page three\"\\n",
                               "\"more\"\\n"}};
}

const Rect kUpArrow{588, 20, 620, 52};
const Rgb kLit{0, 0, 255};

TEST(HistoryPlay, RightButtonOpensArrowsTurnPagesAndAClickElsewhereRestoresTheScreen) {
  TempDir dir;
  WriteGame(dir, HistoryGame());
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"click", "click", "shot before.bmp", "rclick", "shot hidden.bmp", "rclick", "shot open.bmp",
                   "dump open.json", "move 610 30", "shot lit.bmp", "dump lit.json", "click", "dump up1.json", "click",
                   "dump up2.json", "move 610 450", "click", "dump down1.json", "click", "dump down2.json",
                   "move 300 300", "shot unlit.bmp", "key enter", "rclick", "dump still.json", "click",
                   "shot closed.bmp", "dump closed.json", "click", "shot after.bmp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json open = ReadDump(dir, "open.json");
  EXPECT_EQ(open["interactionState"], 2);
  EXPECT_EQ(open["pageIndex"], 2);
  EXPECT_EQ(open["historyScreen"]["shownPage"], 1);
  EXPECT_EQ(ReadDump(dir, "lit.json")["historyScreen"]["hoverZone"], 0);
  EXPECT_EQ(ReadDump(dir, "up1.json")["historyScreen"]["shownPage"], 0);
  EXPECT_EQ(ReadDump(dir, "up2.json")["historyScreen"]["shownPage"], 0);
  EXPECT_EQ(ReadDump(dir, "down1.json")["historyScreen"]["shownPage"], 1);
  EXPECT_EQ(ReadDump(dir, "down2.json")["historyScreen"]["shownPage"], 1);
  // Keys and the right button do nothing while the screen is open.
  json still = ReadDump(dir, "still.json");
  EXPECT_EQ(still["interactionState"], 2);
  EXPECT_EQ(still["historyScreen"]["hoverZone"], 2);
  EXPECT_EQ(still["history"][2]["lineCount"], 1);
  EXPECT_EQ(ReadDump(dir, "closed.json")["interactionState"], 0);

  const std::string shot = dir.Read("open.bmp");
  // Inside the box, on the black stage: (T x 160) >> 8 in blue; outside it, untouched.
  EXPECT_EQ(ShotPixel(shot, 30, 390), (Rgb{0, 0, 40}));
  EXPECT_EQ(ShotPixel(shot, 10, 10), (Rgb{0, 0, 0}));
  EXPECT_EQ(ShotPixel(shot, 630, 470), (Rgb{0, 0, 0}));
  EXPECT_TRUE(AnyPixel(shot, Rect{40, 40, 200, 62}, Rgb{255, 255, 0}));  // "page two" in yellow
  EXPECT_FALSE(AnyPixel(shot, kUpArrow, kLit));
  EXPECT_TRUE(AnyPixel(dir.Read("lit.bmp"), kUpArrow, kLit));
  EXPECT_FALSE(AnyPixel(dir.Read("unlit.bmp"), kUpArrow, kLit));
  EXPECT_EQ(dir.Read("closed.bmp"), dir.Read("hidden.bmp"));
  EXPECT_EQ(dir.Read("after.bmp"), dir.Read("before.bmp"));
}

TEST(HistoryPlay, TheWheelOpensTurnsPagesAndClosesPastTheNewest) {
  TempDir dir;
  WriteGame(dir, HistoryGame());
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"click", "click", "rclick", "shot hidden.bmp", "click", "shot before.bmp", "move 610 30",
                   "wheel up", "dump open.json", "shot open.bmp", "wheel up", "dump up1.json", "wheel up",
                   "dump up2.json", "wheel down", "dump down1.json", "wheel down", "dump closed.json",
                   "shot closed.bmp", "wheel down", "dump nothing.json", "click", "shot after.bmp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json open = ReadDump(dir, "open.json");
  EXPECT_EQ(open["interactionState"], 2);
  EXPECT_EQ(open["historyScreen"]["shownPage"], 1);
  EXPECT_EQ(open["historyScreen"]["hoverZone"], 0);
  EXPECT_TRUE(AnyPixel(dir.Read("open.bmp"), kUpArrow, kLit));
  EXPECT_EQ(ReadDump(dir, "up1.json")["historyScreen"]["shownPage"], 0);
  EXPECT_EQ(ReadDump(dir, "up2.json")["historyScreen"]["shownPage"], 0);
  EXPECT_EQ(ReadDump(dir, "down1.json")["historyScreen"]["shownPage"], 1);
  EXPECT_EQ(ReadDump(dir, "closed.json")["interactionState"], 0);
  EXPECT_EQ(ReadDump(dir, "nothing.json")["interactionState"], 0);
  EXPECT_EQ(dir.Read("closed.bmp"), dir.Read("hidden.bmp"));
  EXPECT_EQ(dir.Read("after.bmp"), dir.Read("before.bmp"));
  EXPECT_EQ(ReadDump(dir, "nothing.json")["history"][2]["lineCount"], 1);  // no advance on the way

  // Skip mode ends when the wheel opens the history, and the script waits beneath it.
  TempDir skipping;
  GameSpec many = HistoryGame();
  for (int i = 0; i < 50; ++i) many.scenario.push_back("\"line\"\\n");
  WriteGame(skipping, many);
  RunHeadlessGame(skipping.path(), {"click", "click", "menu SKIP", "wheel up", "wait 500", "dump skip.json"});
  json skip = ReadDump(skipping, "skip.json");
  EXPECT_EQ(skip["interactionState"], 2);
  EXPECT_EQ(skip["skipMode"], false);
  EXPECT_EQ(skip["history"][2]["lineCount"], 1);

  // A game that keeps its history closed: the wheel and the right button do nothing more.
  TempDir closed;
  WriteGame(closed, HistoryGame("~TMODE 0"));
  run = RunHeadlessGame(closed.path(), {"click", "wheel up", "dump shown.json", "rclick", "rclick", "wheel up",
                                        "dump hidden.json"});
  EXPECT_EQ(ReadDump(closed, "shown.json")["interactionState"], 1);
  EXPECT_EQ(ReadDump(closed, "hidden.json")["interactionState"], 0);
}

TEST(HistoryPlay, OpenedBeforeAnyPageEndsItShowsThePageBeingWritten) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~TMODE 1", "~TFONTCOLOR 0,255,0", "~TTXTPOS 10,10", "\"first\"\\n", "\"second\"\\n"}});
  RunHeadlessGame(dir.path(), {"rclick", "rclick", "dump open.json", "shot open.bmp"});
  json open = ReadDump(dir, "open.json");
  EXPECT_EQ(open["pageIndex"], 0);
  EXPECT_EQ(open["historyScreen"]["shownPage"], 0);
  EXPECT_TRUE(AnyPixel(dir.Read("open.bmp"), Rect{10, 10, 100, 30}, Rgb{0, 255, 0}));
}

TEST(HistoryPlay, StyleCommandsStoreLowBytesAndCutLongNames) {
  TempDir dir;
  const std::string longFace = "ＭＳ 明朝" + std::string(70, 'a');
  const std::string longPicture = std::string(50, 'p') + ".bmp";
  WriteGame(dir, {.scenario = {"!v:-7!", "~TMODE 1", "~TTXTPOS 5,!v", "~TTXTSPR 3", "~TFONTCOLOR 257,2,3",
                               "~TFONTSIZE 20", "~TFONTNAME \"" + longFace + "\"", "~TBOXSIZE -1,2,3000,4",
                               "~TSCREENCG \"" + longPicture + "\" junk,10,-20", "~TSCREENCOLOR 256,-1,3,300",
                               "~TSCREENMODE 7", "\"x\"\\n"}});
  RunHeadlessGame(dir.path(), {"dump d.json"});
  json s = ReadDump(dir, "d.json")["SceneState"];
  EXPECT_EQ(s["historyMode"], 1);
  EXPECT_EQ(s["historyTextX"], 5);
  EXPECT_EQ(s["historyTextY"], -7);
  EXPECT_EQ(s["historyLineSpacing"], 3);
  EXPECT_EQ(s["historyTextColor"], 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(s["historyFontSize"], 20);
  // 63 bytes: the face's 9 bytes, its blank included, and 54 letters.
  EXPECT_EQ(s["historyFontName"], "ＭＳ 明朝" + std::string(54, 'a'));
  EXPECT_EQ(s["historyLeft"], -1);
  EXPECT_EQ(s["historyRight"], 3000);
  EXPECT_EQ(s["historyPictureName"], std::string(39, 'p'));
  EXPECT_EQ(s["historyPictureX"], 10);
  EXPECT_EQ(s["historyPictureY"], -20);
  EXPECT_EQ(s["historyTintRed"], 0);
  EXPECT_EQ(s["historyTintGreen"], 255);
  EXPECT_EQ(s["historyTintBlue"], 3);
  EXPECT_EQ(s["historyTintStrength"], 44);
  EXPECT_EQ(s["historyScreenMode"], 7);
}

TEST(HistoryPlay, AModeOtherThanZeroOrOneAndASizeBelowOneEndTheGame) {
  for (const std::string command : {"~TMODE 2", "~TMODE -1", "~TFONTSIZE 0", "~TFONTSIZE -3"}) {
    TempDir dir;
    WriteGame(dir, {.scenario = {command, "\"after\"\\n"}});
    HeadlessResult run = RunHeadlessGame(dir.path(), {"dump d.json"});
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_EQ(run.Messages(), std::vector<std::string>{"x"}) << command;
    EXPECT_TRUE(ReadDump(dir, "d.json").is_null()) << command;  // the game had ended
  }
}

TEST(HistoryPlay, PictureModeDecoratesWithTheMaskedPictureCutAtTheEdges) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~TMODE 1", "~TSCREENMODE 1", "~TSCREENCOLOR 255,255,255,255",
                               "~TSCREENCG \"deco.bmp\",-10,-20", "\"a\"\\n"}});
  // Left half red, right half its mask: black, so opaque.
  Image deco(80, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) deco.SetPixel(x, y, Rgb{255, 0, 0});
  ASSERT_TRUE(WriteBmp24(dir.path() / "deco.bmp", deco));
  RunHeadlessGame(dir.path(), {"rclick", "rclick", "shot open.bmp", "dump open.json"});
  EXPECT_EQ(ReadDump(dir, "open.json")["interactionState"], 2);
  const std::string shot = dir.Read("open.bmp");
  EXPECT_EQ(ShotPixel(shot, 0, 0), (Rgb{254, 0, 0}));
  EXPECT_EQ(ShotPixel(shot, 29, 9), (Rgb{254, 0, 0}));
  EXPECT_EQ(ShotPixel(shot, 30, 9), (Rgb{0, 0, 0}));
  EXPECT_EQ(ShotPixel(shot, 0, 10), (Rgb{0, 0, 0}));
  EXPECT_EQ(ShotPixel(shot, 300, 300), (Rgb{0, 0, 0}));  // not tinted in picture mode

  // A missing picture: the player is told, and the screen opens over the plain backdrop.
  TempDir missing;
  WriteGame(missing, {.scenario = {"~TMODE 1", "~TSCREENMODE 1", "~TSCREENCG \"none.bmp\",0,0", "\"a\"\\n"}});
  HeadlessResult run = RunHeadlessGame(missing.path(), {"rclick", "rclick", "dump open.json"});
  EXPECT_EQ(ReadDump(missing, "open.json")["interactionState"], 2);
  EXPECT_EQ(run.Messages().size(), 1u);
}

TEST(VolumeDialogPlay, SlidersAndMuteBoxesChangeTheVolumesAtOnce) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  const uint32_t both = 0x10001;
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"dump before.json", "menu volume", "slider wave 3", "mute midi on", "slider midi 8",
                   "slider cd 10", "close", "dump first.json", "menu volume", "dump second.json", "menu volume",
                   "mute cd on", "slider midi 6", "click", "dump third.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json before = ReadDump(dir, "before.json");
  EXPECT_EQ(before["menu"]["volume"]["enabled"], true);
  EXPECT_EQ(before["volumeDialog"]["open"], false);

  json first = ReadDump(dir, "first.json");
  EXPECT_EQ(first["volumeDialog"], (json{{"open", false},
                                         {"positions", {{"wave", 3}, {"midi", 10}, {"cd", 10}}},
                                         {"muted", {{"wave", false}, {"midi", true}, {"cd", false}}},
                                         {"enabled", {{"wave", true}, {"midi", false}, {"cd", true}}}}));
  EXPECT_EQ(first["volumes"], (json{{"wave", 19500 * both}, {"midi", 0}, {"cd", 65000 * both}}));

  // Each opening is a new dialog: boxes unticked, the muted line at 0 and movable again.
  json second = ReadDump(dir, "second.json")["volumeDialog"];
  EXPECT_EQ(second["positions"]["midi"], 0);
  EXPECT_EQ(second["muted"]["midi"], false);
  EXPECT_EQ(second["enabled"]["midi"], true);
  json third = ReadDump(dir, "third.json");
  EXPECT_EQ(third["volumes"]["midi"], 39000 * both);
  EXPECT_EQ(third["volumes"]["cd"], 0);
  // The click that closed the dialog then went to the game.
  EXPECT_EQ(first["history"][0]["lineCount"], 1);
  EXPECT_EQ(third["history"][0]["lineCount"], 2);
}

}  // namespace
}  // namespace orv::test
