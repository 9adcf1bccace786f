// The slot file's layout, its caption, and what short, long and damaged files give.
#include <gtest/gtest.h>

#include <cstring>

#include "persist/slot_file.h"
#include "persist/variable_file.h"
#include "support/test_support.h"

namespace orv {
namespace {

Bytes Filled(size_t size, uint8_t value) { return Bytes(size, value); }

TEST(SlotCaption, SlotDigitTimeFullWidthSpaceAndComment) {
  const LocalTime t{2024, 5, 6, 7, 8, 9};
  EXPECT_EQ(SlotCaption(3, t, ""), "3: 2024 05/06 07:08:09\x81\x40");
  EXPECT_EQ(SlotCaption(0, t, test::Sjis("第一章")), "0: 2024 05/06 07:08:09\x81\x40" + test::Sjis("第一章"));
  EXPECT_EQ(SlotCaption(9, LocalTime{1999, 12, 31, 23, 59, 59}, "x"), "9: 1999 12/31 23:59:59\x81\x40x");
  EXPECT_EQ(EmptySlotCaption(7), "7: ---- --/-- --:--:--");
  EXPECT_EQ(SlotSaveName(4), "Data_4.dat");
  EXPECT_EQ(SlotLoadName(4), "data_4.dat");
}

TEST(SlotFile, WritesEachPartAtItsOffsetWithZerosAfterTheCaption) {
  SceneState s;
  s.scenarioName.Set("story.txt");
  s.readPosition = 0x1234;
  const Bytes strings = Filled(11000, 0x11), numeric = Filled(6144, 0x22);
  const Bytes file = EncodeSlotFile("0: caption", s, strings, numeric);
  ASSERT_EQ(file.size(), 19464u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data())), "0: caption");
  for (size_t i = 10; i < 256; ++i) ASSERT_EQ(file[i], 0) << i;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[256])), "story.txt");
  EXPECT_EQ(GetI32LE(&file[256 + 2016]), 0x1234);
  EXPECT_EQ(file[2319], 0);
  EXPECT_EQ(file[2320], 0x11);
  EXPECT_EQ(file[13319], 0x11);
  EXPECT_EQ(file[13320], 0x22);
  EXPECT_EQ(file[19463], 0x22);
  // A variable file is a slot's last 17144 bytes.
  EXPECT_EQ(EncodeVariableFile(strings, numeric), Bytes(file.begin() + 2320, file.end()));
  // A caption too long for the header keeps its terminator.
  const Bytes longCaption = EncodeSlotFile(std::string(300, 'c'), s, strings, numeric);
  EXPECT_EQ(longCaption[254], 'c');
  EXPECT_EQ(longCaption[255], 0);
}

// A file made byte by byte to the layout, not by the encoder: the reader must agree with it.
TEST(SlotFile, AHandBuiltFileReadsBack) {
  Bytes file(19464, 0);
  std::memcpy(&file[0], "5: hand made", 12);
  std::memcpy(&file[256 + 0], "part2.txt", 9);
  std::memcpy(&file[256 + 80], "bg.bmp", 6);
  PutI32LE(&file[256 + 160 + 4], -3);       // charX[1]
  file[256 + 1040 + 2] = 1;                  // charShown[2]
  PutI32LE(&file[256 + 1296], 2);            // musicMode
  PutI32LE(&file[256 + 1300], 0);            // waveMode
  file[256 + 1787] = 4;                      // messageSpeed
  std::memcpy(&file[256 + 1691], "note", 4);  // slotComment
  PutI32LE(&file[256 + 2016], 42);           // readPosition
  std::memcpy(&file[2320 + 275], "name", 4);  // second string variable

  const SlotFileParts parts = SplitSlotFile(file);
  EXPECT_EQ(SlotFileCaption(parts.header), "5: hand made");
  SceneState s;
  ReadSceneRecord(parts.scene, s);
  EXPECT_EQ(s.scenarioName.str(), "part2.txt");
  EXPECT_EQ(s.backgroundName.str(), "bg.bmp");
  EXPECT_EQ(s.charX[1], -3);
  EXPECT_EQ(s.charShown[2], 1);
  EXPECT_EQ(s.musicMode, 2);
  EXPECT_EQ(s.waveMode, 0);
  EXPECT_EQ(s.messageSpeed, 4);
  EXPECT_EQ(s.slotComment.str(), "note");
  EXPECT_EQ(s.readPosition, 42);
  EXPECT_EQ(parts.strings.size(), 11000u);
  EXPECT_EQ(parts.strings[275], 'n');
  EXPECT_EQ(parts.numeric.size(), 6144u);
}

TEST(SlotFile, AShortFileHoldsWhatItHoldsAndALongOneIsCutAtTheLayout) {
  SceneState reset;
  reset.fontName.Set("font");
  reset.waveMode = -1;
  SceneState saved;
  saved.scenarioName.Set("abcdefghij");
  saved.waveMode = 0x01020304;
  saved.readPosition = 77;
  Bytes file = EncodeSlotFile("1: x", saved, Filled(11000, 1), Filled(6144, 2));

  // Cut in the middle of waveMode (scene offset 1300): its first two bytes come from the file,
  // the rest of the record stays as the reset left it.
  Bytes shortFile(file.begin(), file.begin() + 256 + 1302);
  SceneState s = reset;
  ReadSceneRecord(SplitSlotFile(shortFile).scene, s);
  EXPECT_EQ(s.scenarioName.str(), "abcdefghij");
  EXPECT_EQ(uint32_t(s.waveMode), 0xFFFF0304u);
  EXPECT_EQ(s.fontName.str(), "font");
  EXPECT_EQ(s.readPosition, 0);
  EXPECT_TRUE(SplitSlotFile(shortFile).strings.empty());

  // Cut inside the scenario name: the name holds the bytes that are there.
  SceneState cut = reset;
  ReadSceneRecord(SplitSlotFile(ByteSpan(file.data(), 256 + 4)).scene, cut);
  EXPECT_EQ(cut.scenarioName.str(), "abcd");

  // A header alone, or less: a caption and nothing else.
  const SlotFileParts headerOnly = SplitSlotFile(ByteSpan(file.data(), 3));
  EXPECT_EQ(SlotFileCaption(headerOnly.header), "1: ");
  EXPECT_TRUE(headerOnly.scene.empty());
  EXPECT_EQ(SlotFileCaption({}), "");

  // Bytes past the layout belong to no part.
  file.resize(30000, 0xEE);
  const SlotFileParts parts = SplitSlotFile(file);
  EXPECT_EQ(parts.numeric.size(), 6144u);
  EXPECT_EQ(parts.numeric.back(), 2);

  // A header without a terminator gives all its 256 bytes.
  std::fill(file.begin(), file.begin() + 256, 'h');
  EXPECT_EQ(SlotFileCaption(SplitSlotFile(file).header), std::string(256, 'h'));
}

TEST(SlotFile, OverlayKeepsTheImageBeyondTheBytesRead) {
  const Bytes image = {1, 2, 3, 4};
  EXPECT_EQ(OverlayPrefix(image, Bytes{9, 9}), (Bytes{9, 9, 3, 4}));
  EXPECT_EQ(OverlayPrefix(image, Bytes{9, 9, 9, 9, 9, 9}), (Bytes{9, 9, 9, 9}));
  EXPECT_EQ(OverlayPrefix(image, {}), image);
}

}  // namespace
}  // namespace orv
