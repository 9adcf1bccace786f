// SELECT on its own: reading the block, typing and hovering the captions, the keys, and what
// taking an entry does to the reading position and the save point.
#include <gtest/gtest.h>

#include "choice/choice_target.h"
#include "choice_rig.h"

namespace orv::test {
namespace {

const std::vector<std::string> kNorthSouth = {
    "~SELECT", "skipped before the block", "{", Sjis("北へ , @north"), "no comma here", Sjis("南　へ,@south"),
    "}", "\"after\"", "*north", "\"n\"", "*south", "\"s\""};

bool HasColor(const Image& image, Rect r, Rgb color) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (image.Pixel(x, y) == color) return true;
  return false;
}

TEST(TextChoice, ReadsTheBlockAndListsTheCaptionsUnderTheText) {
  ChoiceRig rig(kNorthSouth);
  rig.textCursorY = 340;
  rig.scene.lineSpacing = 4;
  rig.hoveredChoice = 7;  // left by an earlier, longer choice
  rig.pointerOnChoice = true;
  rig.Show(false);
  const ChoiceList& list = rig.choices.list;
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.captions[0].str(), Sjis("北へ"));  // blanks dropped, full-width space kept
  EXPECT_EQ(list.captions[1].str(), Sjis("南　へ"));
  EXPECT_EQ(list.targets[0].str(), "@north");
  const int cell = rig.fonts.CellHeight(FontSpec{rig.scene.fontName.str(), 16, {}});
  EXPECT_EQ(list.positions[0].x, 20);
  EXPECT_EQ(list.positions[0].y, 340);
  EXPECT_EQ(list.positions[1].y, 340 + cell + 4);
  EXPECT_EQ(list.positions[2].y, 340 + 2 * (cell + 4));  // where a third would go
  EXPECT_EQ(list.positions[3].y, -1);
  EXPECT_TRUE(rig.choiceActive);
  EXPECT_EQ(rig.hoveredChoice, 0);
  EXPECT_FALSE(rig.pointerOnChoice);
  EXPECT_FALSE(rig.skipMode);
  EXPECT_FALSE(rig.indicatorRunning);
  EXPECT_EQ(rig.scriptOffset, rig.OffsetAfter("}"));
  // Typed straight onto the window in the choice colour; the screen layer has no caption yet.
  EXPECT_TRUE(HasColor(rig.windowSurface, Rect{20, 340, 120, 340 + cell}, Rgb{255, 0, 0}));
  EXPECT_FALSE(HasColor(rig.screenImage, Rect{20, 340, 120, 340 + cell}, Rgb{255, 0, 0}));
}

TEST(TextChoice, TypesDoubleByteCharactersOneAtATimeUnlessInPageModeOrHeld) {
  const std::vector<std::string> block = {"~SELECT", "{", Sjis("あいうえおかきくけこさしすせそたちつてと,"), "}"};
  ChoiceRig typed(block);
  typed.messageDelayMs = 30;
  typed.Show(false);
  EXPECT_EQ(typed.clock.waits, std::vector<uint32_t>(20, 30));

  ChoiceRig page(block);
  page.messageDelayMs = 30;
  page.pageMode = true;
  page.Show(false);
  EXPECT_TRUE(page.clock.waits.empty());
  EXPECT_TRUE(HasColor(page.windowSurface, Rect{20, 300, 640, 330}, Rgb{255, 0, 0}));

  ChoiceRig held(block);
  held.messageDelayMs = 30;
  held.clock.held = true;
  held.Show(false);
  EXPECT_TRUE(held.clock.waits.empty());
  EXPECT_FALSE(HasColor(held.windowSurface, Rect{20, 300, 640, 330}, Rgb{255, 0, 0}));
  // The next redraw shows what the held button cut short.
  held.Move(0, 0);
  EXPECT_TRUE(HasColor(held.windowSurface, Rect{20, 300, 640, 330}, Rgb{255, 0, 0}));
}

TEST(TextChoice, SlotCaptionsTakeTheLoadMenuCaptionAndEntriesPastTenAreRefused) {
  std::vector<std::string> block = {"~SELECT", "{", "\\3,\\3", "\\x,a", "\\12,b"};
  for (int i = 3; i < 12; ++i) block.push_back("entry" + std::to_string(i) + ",@l");
  block.push_back("}");
  ChoiceRig rig(block);
  rig.Show(false);
  ASSERT_EQ(rig.choices.list.count, 10);
  EXPECT_EQ(rig.choices.list.captions[0].str(), "caption of slot 3");
  EXPECT_EQ(rig.choices.list.captions[1].str(), "\\x");
  EXPECT_EQ(rig.choices.list.captions[2].str(), "\\12");
  EXPECT_EQ(rig.choices.list.captions[9].str(), "entry9");
  EXPECT_EQ(rig.notes, (std::vector<std::string>{"line 13: SELECT takes at most ten entries; this line is left out",
                                                 "line 14: SELECT takes at most ten entries; this line is left out"}));
  EXPECT_EQ(rig.scriptOffset, int32_t(rig.text.size()));
}

TEST(TextChoice, ABlockWithoutItsClosingLineEndsWithTheScenario) {
  ChoiceRig rig({"~SELECT", "{", "a,@a"});
  rig.Show(false);
  EXPECT_EQ(rig.messages, std::vector<std::string>{"end"});
  EXPECT_FALSE(rig.choiceActive);
}

TEST(TextChoice, HitTestsAreStrictOnAllFourSidesAndRecolourTheCaption) {
  ChoiceRig rig(kNorthSouth);
  rig.Show(false);
  const ChoicePosition at = rig.choices.list.positions[1];
  const FontSpec font{rig.scene.fontName.str(), 16, {}};
  const int w = rig.fonts.Measure(rig.choices.list.captions[1].str(), font), h = rig.fonts.CellHeight(font);
  for (auto [x, y] : {std::pair{at.x + 1, at.y + 1}, {at.x + w - 1, at.y + h - 1}}) {
    rig.Move(x, y);
    EXPECT_TRUE(rig.pointerOnChoice) << x << "," << y;
    EXPECT_EQ(rig.hoveredChoice, 1);
  }
  const Rect second{at.x, at.y, at.x + w, at.y + h};
  EXPECT_TRUE(HasColor(rig.windowSurface, second, Rgb{0, 0, 255}));
  for (auto [x, y] : {std::pair{at.x, at.y + 5}, {at.x + w, at.y + 5}, {at.x + 5, at.y}, {at.x + 5, at.y + h}}) {
    rig.Move(x, y);
    EXPECT_FALSE(rig.pointerOnChoice) << x << "," << y;
  }
  EXPECT_EQ(rig.hoveredChoice, 1);  // the last entry pointed at stays the one Enter takes
  // A click away from every caption takes nothing; the player decides whether to call in.
  EXPECT_TRUE(rig.choiceActive);
}

TEST(TextChoice, KeysWrapAroundAndEnterTakesTheHighlightedEntry) {
  ChoiceRig rig({"~SELECT", "{", "a,", "b,", "c,", "}", "\"go on\""});
  rig.Show(false);
  rig.Key(KeyCode::Up);
  EXPECT_EQ(rig.hoveredChoice, 2);
  rig.Key(KeyCode::Down);
  EXPECT_EQ(rig.hoveredChoice, 0);
  rig.Key(KeyCode::Down);
  rig.Key(KeyCode::Left);
  EXPECT_EQ(rig.hoveredChoice, 1);
  rig.Key(KeyCode::Enter);
  EXPECT_FALSE(rig.choiceActive);
  EXPECT_EQ(rig.steps, std::vector<int32_t>{rig.OffsetAfter("}")});

  ChoiceRig empty({"~SELECT", "{", "}"});
  empty.Show(false);
  empty.Key(KeyCode::Up);
  EXPECT_EQ(empty.hoveredChoice, 0);
}

TEST(TextChoice, ALabelTargetJumpsAndTheSavePointTakesTheJumpPosition) {
  ChoiceRig rig(kNorthSouth);
  rig.scene.readPosition = 7;
  rig.pageIndex = 255;
  rig.history.pages[255].lines[0] = "kept";
  rig.textImage.Plot(5, 5, Rgb{}, 255);
  rig.Show(false);
  rig.Key(KeyCode::Down);
  rig.Key(KeyCode::Enter);
  EXPECT_EQ(rig.choices.list.targets[1].str(), "*south");
  EXPECT_EQ(rig.scene.readPosition, rig.OffsetAfter("*south"));
  EXPECT_EQ(rig.savePoints, std::vector<int32_t>{rig.OffsetAfter("*south")});
  EXPECT_EQ(rig.steps, std::vector<int32_t>{rig.OffsetAfter("*south")});
  // A fresh page: box from the tint layer, no text, cursor home, the full history rotated.
  EXPECT_EQ(rig.windowSurface.Pixel(10, 290), (Rgb{1, 2, 3}));
  EXPECT_EQ(rig.windowSurface.Pixel(9, 290), Rgb{});
  EXPECT_FALSE(rig.textImage.AnyCoverage());
  EXPECT_FALSE(rig.pageEnded);
  EXPECT_EQ(rig.textCursorY, 300);
  EXPECT_EQ(rig.history.pages[254].lines[0], "kept");
  EXPECT_TRUE(rig.indicatorRunning);
  EXPECT_TRUE(rig.skipItemEnabled);
}

TEST(TextChoice, TargetsWithoutAJumpKeepTheLastSavePointsReadPosition) {
  ChoiceRig rig({"~SELECT", "{", "stay,", "other,#x", "}", "\"next\""});
  rig.scene.readPosition = 7;
  rig.Show(false);
  rig.Key(KeyCode::Enter);
  EXPECT_EQ(rig.savePoints, std::vector<int32_t>{7});
  EXPECT_EQ(rig.steps, std::vector<int32_t>{rig.OffsetAfter("}")});
}

TEST(TextChoice, ScenarioAndSlotTargets) {
  ChoiceRig rig({"~SELECT", "{", "on,!chapter2.txt", "gone,!missing.txt", "}"});
  rig.files["chapter2.txt"] = "\"two\"\r\n";
  rig.Show(false);
  rig.Key(KeyCode::Enter);
  EXPECT_EQ(rig.scene.scenarioName.str(), "chapter2.txt");
  EXPECT_EQ(rig.scene.readPosition, 0);
  EXPECT_EQ(rig.steps, std::vector<int32_t>{0});

  ChoiceRig missing({"~SELECT", "{", "gone,!missing.txt", "}"});
  missing.scene.scenarioName.Set("story.txt");
  missing.Show(false);
  missing.Key(KeyCode::Enter);
  EXPECT_EQ(missing.messages, std::vector<std::string>{"switch failed"});
  EXPECT_EQ(missing.scene.scenarioName.str(), "story.txt");
  EXPECT_EQ(missing.steps, std::vector<int32_t>{missing.OffsetAfter("}")});

  // No slot file: nothing happens and the choice waits; with one the loaded game goes on.
  ChoiceRig slot({"~SELECT", "{", "\\3,\\3", "}"});
  slot.Show(false);
  slot.Key(KeyCode::Enter);
  EXPECT_EQ(slot.slotLoads, std::vector<std::string>{"data_3.dat"});
  EXPECT_TRUE(slot.choiceActive);
  EXPECT_TRUE(slot.steps.empty());
  slot.slotFiles.insert("data_3.dat");
  slot.Key(KeyCode::Enter);
  EXPECT_FALSE(slot.choiceActive);
  EXPECT_EQ(slot.steps.size(), 1u);
  EXPECT_TRUE(slot.savePoints.empty());
}

TEST(TextChoice, AMissingLabelEndsTheGameWithoutAnotherStep) {
  ChoiceRig rig({"~SELECT", "{", "a,@nowhere", "}", "*elsewhere"});
  rig.Show(false);
  rig.Key(KeyCode::Enter);
  EXPECT_EQ(rig.messages, std::vector<std::string>{"end"});
  EXPECT_TRUE(rig.steps.empty());
  EXPECT_TRUE(rig.savePoints.empty());
}

TEST(ChoiceTargets, KindsAndSlotNames) {
  EXPECT_EQ(ParseChoiceTarget("@a").kind, ChoiceTargetKind::Label);
  EXPECT_EQ(ParseChoiceTarget("!b.txt").rest, "b.txt");
  EXPECT_EQ(ParseChoiceTarget("\\4").kind, ChoiceTargetKind::Slot);
  EXPECT_EQ(ParseChoiceTarget("").kind, ChoiceTargetKind::None);
  EXPECT_EQ(ParseChoiceTarget("*a").kind, ChoiceTargetKind::None);
  EXPECT_EQ(SlotFileName("7"), "data_7.dat");
  EXPECT_EQ(SlotFileName(""), "");
  EXPECT_EQ(SlotCaptionNumber("\\0"), 0);
  EXPECT_EQ(SlotCaptionNumber("\\9x"), -1);
}

}  // namespace
}  // namespace orv::test
