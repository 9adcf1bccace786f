#include "sound/cd_image.h"

#include <gtest/gtest.h>

#include <variant>

#include "platform/game_folder.h"
#include "platform/headless/headless_audio.h"
#include "sound/wave_builder.h"
#include "support/test_support.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using Spans = std::vector<RawAudioSpan>;

constexpr uint64_t kSector = 2352;

CueSheet Sheet(const std::string& text) {
  Result<CueSheet> sheet = ParseCueSheet(text);
  EXPECT_TRUE(sheet) << sheet.error().message;
  return sheet.value_or(CueSheet{});
}

CdImageFile RawFile(const char* name, uint64_t bytes, uint64_t offset = 0) {
  return {CdImageFile::Kind::Raw, name, offset, bytes};
}

Spans SpansOf(const CdImage& image, int track) {
  const auto source = image.Track(track);
  const auto* spans = source ? std::get_if<Spans>(&*source) : nullptr;
  return spans ? *spans : Spans{};
}

std::optional<fs::path> FileOf(const CdImage& image, int track) {
  const auto source = image.Track(track);
  const auto* file = source ? std::get_if<fs::path>(&*source) : nullptr;
  return file ? std::optional(*file) : std::nullopt;
}

TEST(CdImage, OneBinPlaysEachTrackFromIndex01ToTheNextIndex01) {
  // A data track of 2048-byte sectors, then audio; track 4's pregap sounds at the end of track 3,
  // and track 3's PREGAP, in no file, as silence at the end of track 2.
  const CueSheet sheet = Sheet(
      "FILE \"game.bin\" BINARY\n"
      "  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    INDEX 00 00:01:00\n    INDEX 01 00:03:00\n"
      "  TRACK 03 AUDIO\n    PREGAP 00:02:00\n    INDEX 01 00:05:00\n"
      "  TRACK 04 AUDIO\n    INDEX 00 00:06:00\n    INDEX 01 00:06:30\n");
  const uint64_t audio = 75 * 2048;  // where the audio sectors begin
  const CdImage image = CdImage::LayOut(sheet, {RawFile("game.bin", audio + 600 * kSector)});
  EXPECT_EQ(image.TrackCount(), 4);
  EXPECT_FALSE(image.Track(1));  // data
  EXPECT_EQ(SpansOf(image, 2), (Spans{{"game.bin", audio + 150 * kSector, 150 * kSector}, {{}, 0, 150 * kSector}}));
  EXPECT_EQ(SpansOf(image, 3), (Spans{{"game.bin", audio + 300 * kSector, 105 * kSector}}));
  // The last track plays to the end of the disc.
  EXPECT_EQ(SpansOf(image, 4), (Spans{{"game.bin", audio + 405 * kSector, 195 * kSector}}));
  EXPECT_FALSE(image.Track(0));
  EXPECT_FALSE(image.Track(5));
  EXPECT_EQ(image.Problems(), "");

  // A data track after the audio: the last audio track plays on to the data's INDEX 01, its
  // pregap as silence, since data sectors are never read as sound.
  const CdImage extra = CdImage::LayOut(Sheet("FILE \"x.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                              "  TRACK 02 MODE1/2352\n    INDEX 00 00:01:00\n    INDEX 01 00:03:00\n"),
                                        {RawFile("x.bin", 400 * kSector)});
  EXPECT_EQ(SpansOf(extra, 1), (Spans{{"x.bin", 0, 75 * kSector}, {{}, 0, 150 * kSector}}));
}

TEST(CdImage, SeveralFilesCarryATrackOnToTheNextTracksIndex01) {
  // One file a track, each pregap at the start of its own track's file: track 2 plays on
  // through the start of track03.bin, up to track 3's INDEX 01.
  const CueSheet perTrack = Sheet(
      "FILE \"track01.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
      "FILE \"track02.bin\" BINARY\n  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n    INDEX 01 00:02:00\n"
      "FILE \"track03.bin\" BINARY\n  TRACK 03 AUDIO\n    INDEX 00 00:00:00\n    INDEX 01 00:01:00\n");
  const CdImage redump =
      CdImage::LayOut(perTrack, {{}, RawFile("track02.bin", 1000 * kSector), RawFile("track03.bin", 500 * kSector)});
  EXPECT_EQ(SpansOf(redump, 2),
            (Spans{{"track02.bin", 150 * kSector, 850 * kSector}, {"track03.bin", 0, 75 * kSector}}));
  EXPECT_EQ(SpansOf(redump, 3), (Spans{{"track03.bin", 75 * kSector, 425 * kSector}}));
  EXPECT_EQ(redump.Problems(), "");  // the missing file holds only data

  // Each pregap at the end of the file before: track 1 plays its file to the end.
  const CueSheet split = Sheet(
      "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    INDEX 00 00:04:00\n"
      "FILE \"b.bin\" BINARY\n    INDEX 01 00:00:00\n"
      "  TRACK 03 AUDIO\n    INDEX 01 00:02:00\n");
  const CdImage image = CdImage::LayOut(split, {RawFile("a.bin", 400 * kSector), RawFile("b.bin", 200 * kSector)});
  EXPECT_EQ(SpansOf(image, 1), (Spans{{"a.bin", 0, 400 * kSector}}));
  EXPECT_EQ(SpansOf(image, 2), (Spans{{"b.bin", 0, 150 * kSector}}));
  EXPECT_EQ(SpansOf(image, 3), (Spans{{"b.bin", 150 * kSector, 50 * kSector}}));

  // A WAVE file's samples start after its header; a track never stops halfway into a frame.
  const CdImage wave = CdImage::LayOut(Sheet("FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"),
                                       {RawFile("a.wav", 1001, 44)});
  EXPECT_EQ(SpansOf(wave, 1), (Spans{{"a.wav", 44, 1000}}));
}

// Gaps no file holds, played through to the end: the length a track plays is the length the
// headless audio reports when it ends.
TEST(CdImage, GapsOutsideTheFilesPlayForTheirWholeLength) {
  test::TempDir dir;
  dir.Write("track05.bin", Bytes(300 * kSector, 3));  // 4.0 s of audio
  dir.Write("track06.bin", Bytes(600 * kSector, 9));  // data, its 3.0 s pregap first
  dir.Write("one.bin", Bytes(150 * kSector, 5));
  dir.Write("disc.cue",
            "FILE \"track05.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
            "FILE \"track06.bin\" BINARY\n  TRACK 02 MODE1/2352\n    INDEX 00 00:00:00\n    INDEX 01 00:03:00\n");
  dir.Write("gaps.cue",
            "FILE \"one.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
            "  TRACK 02 AUDIO\n    PREGAP 00:01:00\n    INDEX 01 00:01:00\n");
  auto playedMs = [&](const char* sheet, int track) -> uint32_t {
    Result<CdImage> image = CdImage::Open(GameFolder(dir.path()), sheet);
    if (!image) return 0;
    const auto source = image->Track(track);
    const auto* spans = source ? std::get_if<Spans>(&*source) : nullptr;
    HeadlessAudio audio;
    uint32_t ended = 0;
    if (!spans || !audio.PlayRawTrack(*spans, [&](uint32_t ms) { ended = ms; })) return 0;
    audio.AdvanceTo(60000);
    return ended;
  };
  EXPECT_EQ(playedMs("disc.cue", 1), 7000u);
  // The data track's own sectors never sound.
  Result<CdImage> disc = CdImage::Open(GameFolder(dir.path()), "disc.cue");
  ASSERT_TRUE(disc);
  const Spans first = SpansOf(*disc, 1);
  ASSERT_FALSE(first.empty());
  for (const RawAudioSpan& span : first) EXPECT_NE(span.file.filename(), "track06.bin");
  // A PREGAP 00:01:00 sounds at the end of the track before: 1 s of file and 1 s of gap.
  EXPECT_EQ(playedMs("gaps.cue", 1), 2000u);
  EXPECT_EQ(playedMs("gaps.cue", 2), 1000u);
}

TEST(CdImage, TracksThatCannotPlaySayWhyAndLeaveTheOthers) {
  const CueSheet sheet = Sheet(
      "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    INDEX 01 00:10:00\n"  // beyond the end of a.bin
      "FILE \"b.bin\" BINARY\n  TRACK 03 AUDIO\n    INDEX 01 00:00:00\n"
      "FILE \"c.ogg\" WAVE\n  TRACK 04 AUDIO\n    INDEX 01 00:00:00\n  TRACK 05 AUDIO\n    INDEX 01 01:00:00\n"
      "FILE \"d.bin\" BINARY\n  TRACK 06 AUDIO\n    INDEX 01 00:02:00\n  TRACK 07 AUDIO\n    INDEX 01 00:01:00\n"
      "FILE \"e.flac\" WAVE\n  TRACK 08 AUDIO\n    INDEX 01 00:00:00\n");
  const CdImage image = CdImage::LayOut(sheet, {RawFile("a.bin", 300 * kSector),
                                                {},
                                                {CdImageFile::Kind::Decoded, "c.ogg", 0, 9},
                                                RawFile("d.bin", 300 * kSector),
                                                {CdImageFile::Kind::Decoded, "e.flac", 0, 9}});
  EXPECT_EQ(SpansOf(image, 1), (Spans{{"a.bin", 0, 300 * kSector}}));
  for (int track : {2, 3, 4, 5, 7}) EXPECT_FALSE(image.Track(track)) << track;
  EXPECT_EQ(SpansOf(image, 6), (Spans{{"d.bin", 150 * kSector, 150 * kSector}}));
  EXPECT_EQ(FileOf(image, 8), fs::path("e.flac"));  // a compressed file plays whole
  EXPECT_EQ(image.Problems(),
            "the INDEX times of track 7 run backwards; \"b.bin\" not found; track 2 starts after the end of "
            "\"a.bin\"; track 4 shares \"c.ogg\" with other tracks, which only raw CD audio can; track 5 shares "
            "\"c.ogg\" with other tracks, which only raw CD audio can");

  // Fewer files than the sheet names (only a broken caller does that): nothing plays.
  EXPECT_FALSE(CdImage::LayOut(sheet, {}).Track(1));
}

TEST(CdImage, OpensTheSheetAndFindsItsFilesLikeTheGamesOwn) {
  test::TempDir dir;
  const Bytes sectors(100 * kSector, 1);
  dir.Write("cd/Audio/TRACK02.BIN", sectors);
  dir.Write("cd/game.bin", sectors);
  dir.Write("outside.bin", sectors);
  // A CD-format WAVE with a list chunk of odd size before its data.
  Bytes wave = test::PcmWave(2, 44100, 16, 0);
  wave.resize(36);
  wave.insert(wave.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0, 'd', 'a', 't', 'a', 16, 0, 0, 0});
  wave.resize(wave.size() + 16, 7);
  dir.Write("cd/cd.wav", wave);
  dir.Write("cd/mono.wav", test::PcmWave(1, 22050, 16, 100));
  dir.Write("cd/game.cue",
            "FILE \"C:\\Rips\\Game.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
            "FILE \"audio\\track02.bin\" BINARY\n  TRACK 02 AUDIO\n    INDEX 01 00:00:00\n"
            "FILE \"cd.wav\" WAVE\n  TRACK 03 AUDIO\n    INDEX 01 00:00:00\n"
            "FILE \"MONO.WAV\" WAVE\n  TRACK 04 AUDIO\n    INDEX 01 00:00:00\n"
            "FILE \"../outside.bin\" BINARY\n  TRACK 05 AUDIO\n    INDEX 01 00:00:00\n");
  const fs::path cd = fs::canonical(dir.path() / "cd");
  const Result<CdImage> image = CdImage::Open(GameFolder(cd), "GAME.CUE");
  ASSERT_TRUE(image) << image.error().message;
  EXPECT_EQ(SpansOf(*image, 1), (Spans{{cd / "game.bin", 0, 100 * kSector}}));
  EXPECT_EQ(SpansOf(*image, 2), (Spans{{cd / "Audio" / "TRACK02.BIN", 0, 100 * kSector}}));
  EXPECT_EQ(SpansOf(*image, 3), (Spans{{cd / "cd.wav", 56, 16}}));
  EXPECT_EQ(FileOf(*image, 4), cd / "mono.wav");
  EXPECT_FALSE(image->Track(5));  // a name that leaves the sheet's folder is a missing file
  EXPECT_EQ(image->Problems(), "\"../outside.bin\" not found");
}

TEST(CdImage, ASheetThatLeavesNothingToPlayIsAnError) {
  test::TempDir dir;
  dir.Write("data.bin", Bytes(10 * kSector, 0));
  dir.Write("nobin.cue", "FILE \"gone.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  dir.Write("data.cue", "FILE \"data.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n");
  dir.Write("broken.cue", "FILE \"data.bin\" BINARY\n  TRACK 01 AUDIO\n");
  dir.Write("huge.cue", std::string(kMaxCueSheetBytes + 1, '\n'));
  const GameFolder folder(dir.path());
  const std::pair<const char*, const char*> cases[] = {{"missing.cue", "not found"},
                                                       {"nobin.cue", "\"gone.bin\" not found"},
                                                       {"data.cue", "it holds no audio track"},
                                                       {"broken.cue", "(syntax error)"},
                                                       {"huge.cue", "too large"}};
  for (const auto& [name, says] : cases) {
    const Result<CdImage> image = CdImage::Open(folder, name);
    ASSERT_FALSE(image) << name;
    EXPECT_NE(image.error().message.find(says), std::string::npos) << name << ": " << image.error().message;
  }
}

}  // namespace
}  // namespace orv
