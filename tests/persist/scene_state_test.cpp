#include <gtest/gtest.h>

#include "persist/scene_state.h"
#include "script/message_history.h"

namespace orv {
namespace {

TEST(SceneState, FieldsLandAtTheirOffsetsAndRoundTrip) {
  SceneState s;
  s.scenarioName.Set("story.txt");
  s.charX[9] = -7;
  s.charName[1].Set("ch1.bmp");
  s.charModeC[9] = 3;
  s.cdTrack = 0x01020304;
  s.boxAlpha = 200;
  s.boxBottom = 470;
  s.windowCaption.Set("caption");
  s.boxBlue = 0xAB;
  s.slotComment.Set("comment");
  s.messageSpeed = 5;
  s.historyTintStrength = 0x7F;
  s.readPosition = 1234;
  s.customCursor = 1;
  auto bytes = SerializeSceneState(s);
  ASSERT_EQ(bytes.size(), 2064u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[0])), "story.txt");
  EXPECT_EQ(GetI32LE(&bytes[160 + 36]), -7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[240 + 80])), "ch1.bmp");
  EXPECT_EQ(bytes[1080 + 9], 3);
  EXPECT_EQ(GetU32LE(&bytes[1312]), 0x01020304u);
  EXPECT_EQ(bytes[1344], 200);
  EXPECT_EQ(GetI32LE(&bytes[1360]), 470);
  EXPECT_EQ(bytes[1690], 0xAB);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[1691])), "comment");
  EXPECT_EQ(bytes[1787], 5);
  EXPECT_EQ(bytes[2015], 0x7F);
  EXPECT_EQ(GetI32LE(&bytes[2016]), 1234);
  EXPECT_EQ(GetI32LE(&bytes[2060]), 1);

  // Reserved bytes and bytes after a terminator survive a read and a write.
  bytes[1304] = 0x5A;
  bytes[1392 + 20] = 'z';
  SceneState back;
  DeserializeSceneState(bytes, back);
  EXPECT_EQ(back.windowCaption.str(), "caption");
  EXPECT_EQ(SerializeSceneState(back), bytes);

  // A short record leaves the fields it does not reach as they were.
  SceneState partial;
  partial.customCursor = 9;
  DeserializeSceneState(ByteSpan(bytes.data(), 100), partial);
  EXPECT_EQ(partial.scenarioName.str(), "story.txt");
  EXPECT_EQ(partial.customCursor, 9);
}

TEST(FixedText, CutsAtCapacityWithoutSplittingACharacter) {
  FixedText<20> name(std::string(30, 'a'));
  EXPECT_EQ(name.str(), std::string(19, 'a'));
  // Nine two-byte characters and a tenth that would need bytes 18 and 19: it is left out.
  std::string kanji;
  for (int i = 0; i < 10; ++i) kanji += "\x8A\xBF";
  FixedText<20> cut(kanji);
  EXPECT_EQ(cut.str().size(), 18u);
}

TEST(MessageHistory, RotationDropsTheOldestPage) {
  MessageHistory h;
  int pageIndex = 0;
  auto finishPage = [&](int page) {
    h.Append(pageIndex, "page " + std::to_string(page));
    ++pageIndex;
    h.Rotate(pageIndex);
  };
  for (int page = 0; page < 255; ++page) finishPage(page);
  // Reaching index 255 dropped page 0: every page moved down one, the page just finished is
  // 253 and page 254 is empty.
  EXPECT_EQ(pageIndex, 255);
  EXPECT_EQ(h.page(0).line(0), "page 1");
  EXPECT_EQ(h.page(253).line(0), "page 254");
  EXPECT_EQ(h.page(254).line(0), "");
  // From then on the index stays 255 and each end of page drops the oldest page again.
  finishPage(255);
  EXPECT_EQ(pageIndex, 255);
  EXPECT_EQ(h.page(0).line(0), "page 2");
  EXPECT_EQ(h.page(254).line(0), "page 255");
  EXPECT_EQ(h.page(255).line(0), "");
  EXPECT_EQ(h.page(255).lineCount(), 0);
  // A page never counts more than 256 lines.
  for (int i = 0; i < 400; ++i) h.NewLine(3);
  EXPECT_EQ(h.page(3).lineCount(), 255);
}

}  // namespace
}  // namespace orv
