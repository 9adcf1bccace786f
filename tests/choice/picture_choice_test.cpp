// SELECTCG on its own: entry lines, strict hit tests, traceless hover swaps, the pressed
// picture and the screen and save point after the choice.
#include <gtest/gtest.h>

#include "choice/picture_choice_list.h"
#include "choice_rig.h"
#include "script/script_reader.h"

namespace orv::test {
namespace {

const Rgb kBackdrop{9, 9, 9}, kNormal{200, 0, 0}, kHover{0, 200, 0}, kPressed{0, 0, 200}, kSeeThrough{7, 7, 7};

// One colour, but for the bottom-left pixel, which gives a transparent picture its key.
Image Solid(int w, int h, Rgb color) {
  Image image(w, h);
  image.Fill(color);
  image.SetPixel(0, h - 1, kSeeThrough);
  return image;
}

// Two buttons: a 64 x 32 one at (100, 50) whose hover picture is larger, and a transparent one
// beside it.
std::unique_ptr<ChoiceRig> Buttons(std::vector<std::string> extraEntries = {}) {
  std::vector<std::string> lines = {"~SELECTCG", "whatever the opening line holds",
                                    "\"n.bmp\", \"big.bmp\",\"p.bmp\",100,50,0,@first",
                                    "\"n.bmp\",\"h.bmp\",\"p.bmp\",164,50,1,"};
  lines.insert(lines.end(), extraEntries.begin(), extraEntries.end());
  for (const char* tail : {"}", "\"after\"", "*first", "\"one\""}) lines.push_back(tail);
  auto owner = std::make_unique<ChoiceRig>(lines);
  ChoiceRig& rig = *owner;
  rig.pictures["n.bmp"] = Solid(64, 32, kNormal);
  rig.pictures["big.bmp"] = Solid(80, 40, kHover);
  rig.pictures["h.bmp"] = Solid(64, 32, kHover);
  Image pressed = Solid(64, 32, kPressed);
  pressed.FillRect(Rect{0, 16, 64, 32}, kSeeThrough);  // bottom half in the see-through colour
  rig.pictures["p.bmp"] = pressed;
  rig.windowSurface.Fill(kBackdrop);
  rig.screenImage.Fill(kBackdrop);
  return owner;
}

TEST(PictureChoiceEntry, ReadsNamesNumbersAndTargetAndLeavesWhatIsMissingEmpty) {
  ScriptReader reader;
  reader.SetSource("\"b 1.bmp\" , \"b1on.bmp\",\"b1hit.bmp\", 100 ,-50,1,@yes\"ignored");
  PictureChoiceEntryLine full = ReadPictureChoiceEntry(reader);
  EXPECT_EQ(full.normalPicture, "b1.bmp");
  EXPECT_EQ(full.hoverPicture, "b1on.bmp");
  EXPECT_EQ(full.pressedPicture, "b1hit.bmp");
  EXPECT_EQ(full.left, 100);
  EXPECT_EQ(full.top, -50);
  EXPECT_EQ(full.transparent, 1);
  EXPECT_EQ(full.target, "@yes");

  reader.SetSource("\"only.bmp\",\"two.bmp\"");
  PictureChoiceEntryLine shortLine = ReadPictureChoiceEntry(reader);
  EXPECT_EQ(shortLine.hoverPicture, "two.bmp");
  EXPECT_EQ(shortLine.pressedPicture, "");
  EXPECT_EQ(shortLine.left, 0);
  EXPECT_EQ(shortLine.target, "");
}

TEST(PictureChoice, ShowsEveryEntryInItsNormalPictureOverTheBackdrop) {
  auto owner = Buttons();
  ChoiceRig& rig = *owner;
  rig.Show(true);
  const PictureChoiceList& list = rig.choices.pictureList;
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.right[0], 164);
  EXPECT_EQ(list.bottom[0], 82);
  EXPECT_EQ(list.shownHover[0], 0);
  EXPECT_EQ(list.top[2], -1);
  EXPECT_TRUE(rig.pictureChoiceActive);
  EXPECT_FALSE(rig.skipMode);
  EXPECT_EQ(rig.windowSurface.Pixel(100, 50), kNormal);
  EXPECT_EQ(rig.windowSurface.Pixel(99, 50), kBackdrop);
  EXPECT_EQ(list.backdrop.Pixel(100, 50), kBackdrop);
  EXPECT_EQ(rig.scriptOffset, rig.OffsetAfter("}"));
}

TEST(PictureChoice, HitTestsAreStrictAndSwapsLeaveNoTrace) {
  auto owner = Buttons();
  ChoiceRig& rig = *owner;
  rig.Show(true);
  for (auto [x, y, hit] : {std::tuple{101, 51, true}, {163, 81, true}, {100, 60, false}, {164, 60, false}}) {
    rig.Move(x, y);
    EXPECT_EQ(rig.pointerOnChoice, hit) << x << "," << y;
  }
  rig.Move(120, 60);
  EXPECT_EQ(rig.hoveredChoice, 0);
  EXPECT_EQ(rig.windowSurface.Pixel(179, 89), kHover);  // the larger hover picture
  // Straight onto the second entry: the first is back to normal without a trace of the
  // larger picture, the second shows its hover picture, in the same movement.
  rig.Move(200, 60);
  EXPECT_EQ(rig.hoveredChoice, 1);
  EXPECT_EQ(rig.choices.pictureList.shownHover, (std::array<int32_t, 10>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(rig.windowSurface.Pixel(120, 60), kNormal);
  EXPECT_EQ(rig.windowSurface.Pixel(110, 85), kBackdrop);
  EXPECT_EQ(rig.windowSurface.Pixel(200, 60), kHover);
  // Movements within an entry draw nothing.
  rig.screenImage.SetPixel(201, 61, Rgb{1, 1, 1});
  rig.Move(202, 62);
  EXPECT_EQ(rig.screenImage.Pixel(201, 61), (Rgb{1, 1, 1}));
}

TEST(PictureChoice, TakingAnEntryFlashesThePressedPictureThenRestoresTheScreen) {
  auto owner = Buttons();
  ChoiceRig& rig = *owner;
  rig.Show(true);
  rig.Move(200, 60);
  Image duringPress;
  rig.clock.onWait = [&](uint32_t) { duringPress = rig.windowSurface; };
  rig.Take();
  EXPECT_EQ(rig.clock.waits, std::vector<uint32_t>{300});
  EXPECT_EQ(duringPress.Pixel(170, 52), kPressed);
  EXPECT_EQ(duringPress.Pixel(170, 75), kHover);  // see-through: the hover picture shows under it
  EXPECT_EQ(rig.windowSurface.Pixel(170, 60), kBackdrop);
  EXPECT_FALSE(rig.pictureChoiceActive);
  // No jump: reading and the save point go on after the block.
  EXPECT_EQ(rig.savePoints, std::vector<int32_t>{rig.OffsetAfter("}")});
  EXPECT_EQ(rig.steps, std::vector<int32_t>{rig.OffsetAfter("}")});

  auto jumpOwner = Buttons();
  ChoiceRig& jump = *jumpOwner;
  jump.Show(true);
  jump.Move(120, 60);
  jump.Take();
  EXPECT_EQ(jump.savePoints, std::vector<int32_t>{jump.OffsetAfter("*first")});
}

TEST(PictureChoice, BrokenAndMissingPicturesAndTooManyEntries) {
  std::vector<std::string> extra = {"\"broken.bmp\",\"broken.bmp\",\"\",300,50,0,", "\"none.bmp\",\"\",\"\",400,50,0,"};
  for (int i = 0; i < 7; ++i) extra.push_back("\"n.bmp\",\"n.bmp\",\"n.bmp\",0,300,0,");
  auto owner = Buttons(extra);
  ChoiceRig& rig = *owner;
  rig.Show(true);
  const PictureChoiceList& list = rig.choices.pictureList;
  EXPECT_EQ(list.count, 10);
  EXPECT_EQ(rig.notes.size(), 1u);
  // Reported once, however often the picture is asked for; the rectangle is empty, so the
  // entries can never be hit.
  EXPECT_EQ(rig.messages.size(), 1u);
  EXPECT_EQ(list.right[2], 300);
  EXPECT_EQ(list.right[3], 400);
  rig.Move(300, 50);
  EXPECT_FALSE(rig.pointerOnChoice);

  // A holder keeps what it held: the same entry in the next choice shows its old picture when
  // the new one cannot be loaded.
  rig.text = CrLf({"~SELECTCG", "{", "\"gone.bmp\",\"\",\"\",10,10,0,", "}"});
  rig.scriptOffset = int32_t(rig.text.find("\r\n") + 2);
  rig.Show(true);
  EXPECT_EQ(rig.choices.pictureList.right[0], 10 + 64);
  EXPECT_EQ(rig.windowSurface.Pixel(20, 20), kNormal);
}

TEST(PictureChoice, AnEmptyBlockWaitsAndNothingTakesIt) {
  ChoiceRig rig({"~SELECTCG", "{", "}", "\"after\""});
  rig.Show(true);
  rig.Move(0, 0);
  rig.Take();
  EXPECT_TRUE(rig.pictureChoiceActive);
  EXPECT_TRUE(rig.steps.empty());
  EXPECT_TRUE(rig.clock.waits.empty());
}

}  // namespace
}  // namespace orv::test
