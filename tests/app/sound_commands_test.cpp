// The sound commands through the headless player: music into the MIDI log, effects and CD
// tracks along the virtual clock.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "script/package_file.h"
#include "sound/smf_writer.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;

// One note of 96 ticks at division 96: 400 ms at the default 150 beats per minute.
Bytes OneNoteSong() {
  SmfTrack track;
  track.Program(0, 0, 5);
  track.Note(0, 96, 0, 60, 100);
  return BuildSmf({track}, 96);
}

Bytes Silence(uint32_t ms) { return BuildPcmWave(std::vector<int16_t>(22050 * ms / 1000), 22050, 1); }

TEST(SoundCommands, MusicGoesThroughTheSequencerFromThePackage) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~MIDIPLAY \"song.mid\",0", "\"a\"\\n", "~MIDISTOP", "\"b\"\\n"}});
  dir.Write("music.dat", BuildPackage({{"SONG.MID", OneNoteSong()}}));
  const std::string log = (dir.path() / "midi.log").string();
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump playing.json", "wait 1000", "dump ended.json"}, 0,
                                       {"--midi-log", log});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json playing = ReadDump(dir, "playing.json"), ended = ReadDump(dir, "ended.json");
  EXPECT_EQ(playing["music"]["name"], "song.mid");
  EXPECT_EQ(playing["music"]["playing"], true);
  EXPECT_EQ(playing["music"]["loop"], false);
  EXPECT_EQ(playing["SceneState"]["musicMode"], 1);
  EXPECT_EQ(ended["music"]["playing"], false);  // a song played once stops by itself

  std::string text = dir.Read("midi.log");
  std::istringstream lines(text);
  std::vector<std::string> ops;
  for (std::string line; std::getline(lines, line);) ops.push_back(line.substr(line.find(' ') + 1));
  ASSERT_GE(ops.size(), 4u) << text;
  EXPECT_EQ(ops[0], "open");
  EXPECT_EQ(ops[1], "c0 05 00");
  EXPECT_EQ(ops[2], "90 3c 64");
  EXPECT_NE(text.find("80 3c 00"), std::string::npos);
  EXPECT_NE(text.find("close"), std::string::npos);
}

TEST(SoundCommands, BadMusicFlagIsReportedAndLeavesTheMusicSilent) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~MIDIPLAY \"song.mid\",2", "\"a\"\\n"}});
  dir.Write("song.mid", OneNoteSong());
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump d.json"});
  EXPECT_EQ(run.Messages(), std::vector<std::string>{"フラグが不正です。"});
  json d = ReadDump(dir, "d.json");
  EXPECT_EQ(d["music"]["playing"], false);
  EXPECT_EQ(d["SceneState"]["musicMode"], 0);
}

TEST(SoundCommands, EffectsPlayOnceOrLoopAlongTheClock) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~WAVEPLAY \"once.wav\",1", "\"a\"\\n", "~WAVEPLAY \"loop.wav\",0", "\"b\"\\n",
                               "~WAVESTOP", "\"c\"\\n"}});
  dir.Write("wave.dat", BuildPackage({{"once.wav", Silence(300)}}));
  dir.Write("loop.wav", Silence(200));
  RunHeadlessGame(dir.path(), {"dump once.json", "wait 400", "dump onceOver.json", "click", "wait 1000",
                               "dump looping.json", "click", "dump stopped.json"});
  EXPECT_EQ(ReadDump(dir, "once.json")["wave"]["playing"], true);
  EXPECT_EQ(ReadDump(dir, "onceOver.json")["wave"]["playing"], false);
  json looping = ReadDump(dir, "looping.json");
  EXPECT_EQ(looping["wave"]["playing"], true);
  EXPECT_EQ(looping["wave"]["loop"], true);
  EXPECT_EQ(looping["SceneState"]["waveMode"], 0);
  json stopped = ReadDump(dir, "stopped.json");
  EXPECT_EQ(stopped["wave"]["playing"], false);
  EXPECT_EQ(stopped["SceneState"]["waveMode"], -1);
  EXPECT_EQ(stopped["SceneState"]["waveName"], "");
}

TEST(SoundCommands, CdTracksRepeatOnlyWhenAskedAndStopEndsTheRepeat) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~CDPLAY 2,1", "\"a\"\\n", "~CDSTOP", "\"b\"\\n", "~CDPLAY 1,0", "\"c\"\\n"}});
  dir.Write("cd/Track01.wav", Silence(300));
  dir.Write("cd/track02.wav", Silence(300));
  RunHeadlessGame(dir.path(), {"wait 1000", "dump repeating.json", "click", "dump stopped.json", "click",
                               "wait 1000", "dump once.json"});
  json repeating = ReadDump(dir, "repeating.json");
  EXPECT_EQ(repeating["cd"]["track"], 2);
  EXPECT_EQ(repeating["cd"]["playing"], true);
  EXPECT_EQ(repeating["SceneState"]["cdMode"], 1);
  json stopped = ReadDump(dir, "stopped.json");
  EXPECT_EQ(stopped["cd"]["playing"], false);
  EXPECT_EQ(stopped["SceneState"]["cdMode"], -1);
  EXPECT_EQ(ReadDump(dir, "once.json")["cd"]["playing"], false);

  // A long pause of the script does not make the repeating track forget to repeat.
  TempDir paused;
  WriteGame(paused, {.scenario = {"~CDPLAY 2,1", "~FLASH 0,0,0,1,3000", "\"a\"\\n"}});
  paused.Write("track02.wav", Silence(300));
  RunHeadlessGame(paused.path(), {"wait 1000", "dump after.json"});
  EXPECT_EQ(ReadDump(paused, "after.json")["cd"]["playing"], true);
}

}  // namespace
}  // namespace orv::test
