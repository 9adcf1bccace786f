#include "platform/audio/cue_sheet.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

TEST(CueSheet, ReadsTracksKindsAndIndexes) {
  // A game disc: the data track first, then audio with and without pregaps, a BOM and CR LF.
  const Result<CueSheet> sheet = ParseCueSheet(
      "\xEF\xBB\xBFREM GENRE Game\r\n"
      "TITLE \"\x83\x51\x81\x5B\x83\x80\"\r\n"
      "FILE \"Game.bin\" BINARY\r\n"
      "  TRACK 01 MODE1/2352\r\n"
      "    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n"
      "    PREGAP 00:02:00\r\n"
      "    INDEX 01 01:00:00\r\n"
      "  TRACK 03 AUDIO\r\n"
      "    FLAGS DCP\r\n"
      "    INDEX 00 02:00:00\r\n"
      "    INDEX 01 02:02:10\r\n"
      "FILE \"cd\\music.bin\" BINARY\r\n"
      "  TRACK 04 MODE1/2048\r\n"
      "    INDEX 01 00:00:00\r\n");
  ASSERT_TRUE(sheet) << sheet.error().message;
  ASSERT_EQ(sheet->tracks.size(), 4u);
  const CueTrack& data = sheet->tracks[0];
  EXPECT_EQ(data.file, "Game.bin");
  EXPECT_FALSE(data.audio);
  EXPECT_EQ(data.sectorBytes, 2352u);
  EXPECT_TRUE(sheet->tracks[1].audio);
  EXPECT_EQ(sheet->tracks[1].index01, 60u * 75);
  EXPECT_FALSE(sheet->tracks[1].index00);  // PREGAP is silence in no file
  EXPECT_EQ(sheet->tracks[2].index00, 120u * 75);
  EXPECT_EQ(sheet->tracks[2].index01, 122u * 75 + 10);
  EXPECT_FALSE(sheet->tracks[2].index00InPreviousFile);
  EXPECT_EQ(sheet->tracks[3].file, "cd\\music.bin");
  EXPECT_EQ(sheet->tracks[3].sectorBytes, 2048u);
  EXPECT_FALSE(sheet->tracks[3].audio);
}

TEST(CueSheet, TracksAfterAPregapSplitOverTwoFilesKeepTheirFile) {
  // Each pregap is written at the end of the file before its track's INDEX 01.
  const Result<CueSheet> sheet = ParseCueSheet(
      "FILE \"a.bin\" BINARY\n"
      "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    INDEX 00 04:00:00\n"
      "FILE \"b.bin\" BINARY\n    INDEX 01 00:00:00\n"
      "  TRACK 03 AUDIO\n    INDEX 01 03:00:00\n"
      "  TRACK 04 AUDIO\n    INDEX 00 05:00:00\n"
      "FILE \"c.bin\" BINARY\n    INDEX 01 00:00:00\n"
      "  TRACK 05 AUDIO\n    INDEX 01 01:00:00\n"
      "FILE \"d.bin\" BINARY\n"
      "  TRACK 06 AUDIO\n    INDEX 01 00:00:00\n");
  ASSERT_TRUE(sheet) << sheet.error().message;
  std::string files;
  for (const CueTrack& track : sheet->tracks) files += track.file + " ";
  EXPECT_EQ(files, "a.bin b.bin b.bin c.bin c.bin d.bin ");
  EXPECT_TRUE(sheet->tracks[1].index00InPreviousFile);
  EXPECT_EQ(sheet->tracks[1].index00, 240u * 75);
  EXPECT_TRUE(sheet->tracks[3].index00InPreviousFile);
  EXPECT_FALSE(sheet->tracks[4].index00InPreviousFile);
}

TEST(CueSheet, RefusesWhatLibcueObjectsToWithoutWritingToStandardError) {
  struct Case {
    std::string text;
    std::string says;
  };
  const std::string good = "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
  const Case cases[] = {
      {"file \"a.bin\" binary\n  track 01 audio\n    index 01 00:00:00\n", "(bad character 'f')"},
      {good + "  TRACK 02 CDI/2352\n    INDEX 01 00:10:00\n", "bad character 'C'"},
      {"TRACK 01 AUDIO\n  INDEX 01 00:00:00\n", "(no file specified for track)"},
      {good + "  TRACK 02 AUDIO\n    INDEX 01 00:10:00\n    INDEX -1 00:00:00\n", "bad character"},
      {good + "  TRACK 02 AUDIO\n", "(syntax error)"},
      {"REM nothing but a remark\n", "syntax error"},
      {"", "syntax error"},
      {std::string("FILE \"a\0b\" BINARY\n", 18), "zero bytes"},
      {good + std::string(kMaxCueSheetBytes, ' '), "too large"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    const Result<CueSheet> sheet = ParseCueSheet(c.text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.text.substr(0, 60);
    ASSERT_FALSE(sheet) << c.text.substr(0, 60);
    EXPECT_NE(sheet.error().message.find(c.says), std::string::npos) << sheet.error().message;
  }
  EXPECT_TRUE(ParseCueSheet(good));  // libcue is left in a state to read the next sheet
}

}  // namespace
}  // namespace orv
