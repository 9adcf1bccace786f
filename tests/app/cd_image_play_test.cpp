// CD music from a disc image through the headless player: the same tracks, for the same
// time, as from ripped track files.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sound/wave_builder.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

constexpr size_t kSector = 2352;

// CD audio with a different byte in every sector, so that a track begun at the wrong sector
// would be a different sound (the lengths are what the test can see).
Bytes Sectors(size_t first, size_t count) {
  Bytes bytes;
  for (size_t s = first; s < first + count; ++s) bytes.insert(bytes.end(), kSector, uint8_t(s));
  return bytes;
}

// Track 1 is 30 sectors (400 ms) with track 2's 15-sector pregap after it; track 2 runs 75
// sectors (1000 ms) to the end of the disc.
const char* kSheet =
    "FILE \"Game.bin\" BINARY\r\n"
    "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    INDEX 00 00:00:30\r\n    INDEX 01 00:00:45\r\n";

// The same disc ripped with each pregap appended to the track before it.
void WriteRippedTracks(const TempDir& dir) {
  dir.Write("track01.wav", RiffWave(FormatChunk(1, 2, 44100, 4, 16), Sectors(0, 45)));
  dir.Write("track02.wav", RiffWave(FormatChunk(1, 2, 44100, 4, 16), Sectors(45, 75)));
}

struct Sample {
  int64_t clockMs;
  int track;
  bool playing;
};

// Plays track 1, then (after a click) track 2, sampling the CD every 10 ms.
std::vector<Sample> PlayBothTracks(const TempDir& dir, std::vector<std::string> extraArgs = {}) {
  WriteGame(dir, {.scenario = {"~CDPLAY 1,0", "\"a\"\\n", "~CDPLAY 2,0", "\"b\"\\n"}});
  std::vector<std::string> events;
  for (int i = 0; i < 190; ++i) {
    if (i == 70) events.push_back("click");
    events.push_back("wait 10");
    events.push_back("dump s" + std::to_string(i) + ".json");
  }
  const HeadlessResult run = RunHeadlessGame(dir.path(), events, 0, std::move(extraArgs));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  std::vector<Sample> samples;
  for (int i = 0; i < 190; ++i) {
    const nlohmann::json dump = ReadDump(dir, "s" + std::to_string(i) + ".json");
    samples.push_back({dump["clockMs"], dump["cd"]["track"], dump["cd"]["playing"]});
  }
  return samples;
}

// For each track, how long it was seen playing: from the first sample after it started to the
// first sample that found it over.
std::vector<std::pair<int, int64_t>> PlayedTimes(const std::vector<Sample>& samples) {
  std::vector<std::pair<int, int64_t>> played;
  int64_t since = -1;
  for (const Sample& sample : samples) {
    if (sample.playing && since < 0) since = sample.clockMs;
    if (!sample.playing && since >= 0) {
      played.emplace_back(sample.track, sample.clockMs - since);
      since = -1;
    }
  }
  return played;
}

TEST(CdImagePlay, TracksLastAsLongFromACueSheetAsFromRippedFiles) {
  TempDir ripped;
  WriteRippedTracks(ripped);
  const std::vector<Sample> fromFiles = PlayBothTracks(ripped);
  const auto times = PlayedTimes(fromFiles);
  ASSERT_EQ(times.size(), 2u);
  EXPECT_EQ(times[0].first, 1);
  EXPECT_EQ(times[1].first, 2);
  // Track 2 starts at the click (the clock of the sample before it) and plays 1000 ms, track 1
  // 600 ms: seen from the same moment after their start, 400 ms less. As far as samples 10 ms
  // apart can tell.
  int64_t track2Ends = 0;
  for (const Sample& sample : fromFiles)
    if (sample.track == 2 && !sample.playing && track2Ends == 0) track2Ends = sample.clockMs;
  EXPECT_NEAR(double(track2Ends - fromFiles[69].clockMs), 1000, 10);
  EXPECT_NEAR(double(times[1].second - times[0].second), 400, 10);

  // The image in the game's cd folder, found as track files are.
  TempDir image;
  image.Write("CD/game.cue", kSheet);
  Bytes bin = Sectors(0, 120);
  image.Write("CD/game.bin", bin);
  const std::vector<Sample> fromImage = PlayBothTracks(image);
  // The image given on the command line, from outside the game folder, through a link: the
  // user's own path, so the link is followed to the sheet and the files beside it.
  TempDir given;
  given.Write("disc/game.cue", kSheet);
  given.Write("disc/GAME.BIN", bin);
  std::filesystem::create_directories(given.path() / "links");
  std::filesystem::create_symlink(given.path() / "disc" / "game.cue", given.path() / "links" / "game.cue");
  const std::vector<Sample> fromOption =
      PlayBothTracks(given, {"--cd-image", (given.path() / "links" / "game.cue").string()});

  ASSERT_EQ(fromImage.size(), fromFiles.size());
  ASSERT_EQ(fromOption.size(), fromFiles.size());
  for (size_t i = 0; i < fromFiles.size(); ++i) {
    EXPECT_EQ(fromImage[i].playing, fromFiles[i].playing) << "at " << fromFiles[i].clockMs << " ms";
    EXPECT_EQ(fromOption[i].playing, fromFiles[i].playing) << "at " << fromFiles[i].clockMs << " ms";
  }
}

TEST(CdImagePlay, ImageTracksRepeatAndStopAsTrackFilesDo) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~CDPLAY 258,1", "\"a\"\\n", "~CDSTOP", "\"b\"\\n", "~CDPLAY 1,0", "\"c\"\\n",
                               "~CDPLAY 3,0", "\"d\"\\n"}});
  dir.Write("game.cue", kSheet);
  dir.Write("game.bin", Sectors(0, 120));
  // Track 258 is track 2, as the drive's one-byte track number has it; it repeats.
  RunHeadlessGame(dir.path(), {"wait 2500", "dump repeating.json", "click", "dump stopped.json", "click", "wait 1000",
                               "dump once.json", "click", "dump none.json"});
  EXPECT_EQ(ReadDump(dir, "repeating.json")["cd"]["playing"], true);
  EXPECT_EQ(ReadDump(dir, "stopped.json")["cd"]["playing"], false);
  EXPECT_EQ(ReadDump(dir, "once.json")["cd"]["playing"], false);
  const nlohmann::json none = ReadDump(dir, "none.json");  // no track 3 on this disc
  EXPECT_EQ(none["cd"]["track"], 3);
  EXPECT_EQ(none["cd"]["playing"], false);
}

TEST(CdImagePlay, AnImageThatCannotPlaySaysSoOnceAndTheGameGoesOn) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~CDPLAY 1,1", "\"a\"\\n", "\"b\"\\n"}});
  dir.Write("game.cue", kSheet);  // its BIN is missing
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump d.json", "click", "dump e.json"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("game.cue: \"Game.bin\" not found; no CD music\n"), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(ReadDump(dir, "d.json")["cd"]["playing"], false);
  EXPECT_GT(ReadDump(dir, "e.json")["scriptOffset"], ReadDump(dir, "d.json")["scriptOffset"]);
  {
    // The sheet is looked for at the first track: a game that plays none never meets it.
    TempDir quiet;
    WriteGame(quiet, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
    quiet.Write("game.cue", kSheet);
    EXPECT_EQ(RunHeadlessGame(quiet.path(), {"click"}).err, "");
  }

  // Ripped track files come first; a given image that is not there plays nothing in their stead.
  WriteRippedTracks(dir);
  run = RunHeadlessGame(dir.path(), {"dump f.json"}, 0, {"--cd-image", (dir.path() / "none.cue").string()});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("none.cue: not found; no CD music"), std::string::npos) << run.err;
  EXPECT_EQ(ReadDump(dir, "f.json")["cd"]["playing"], false);
  run = RunHeadlessGame(dir.path(), {"dump g.json"});
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadDump(dir, "g.json")["cd"]["playing"], true);
}

}  // namespace
}  // namespace orv::test
