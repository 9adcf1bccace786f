#include "platform/headless/headless_audio.h"

#include <gtest/gtest.h>

#include "sound/midi_player.h"
#include "sound/smf_builder.h"
#include "sound/wave_builder.h"
#include "support/test_support.h"

namespace orv {
namespace {

TEST(HeadlessAudio, WavesPlayForTheirLengthUnlessTheyLoop) {
  HeadlessAudio audio({}, 1000);
  EXPECT_FALSE(audio.PlayWave(Bytes{1, 2, 3}, false));
  EXPECT_FALSE(audio.WavePlaying());

  ASSERT_TRUE(audio.PlayWave(test::PcmWave(1, 8000, 16, 2000), false));  // 250 ms
  audio.AdvanceTo(1249);
  EXPECT_TRUE(audio.WavePlaying());
  audio.AdvanceTo(1250);
  EXPECT_FALSE(audio.WavePlaying());

  ASSERT_TRUE(audio.PlayWave(test::ImaAdpcmWave(1, 8000, 256, 256), true));
  audio.AdvanceTo(100000);
  EXPECT_TRUE(audio.WavePlaying());
  audio.StopWave();
  EXPECT_FALSE(audio.WavePlaying());
}

TEST(HeadlessAudio, TrackEndsOnTimeAndCallsBackOnlyWhenItEndsByItself) {
  test::TempDir dir;
  dir.Write("track02.wav", test::PcmWave(2, 44100, 16, 4410));  // 100 ms
  dir.Write("track03.ogg", "not really");
  HeadlessAudio audio;
  EXPECT_FALSE(audio.PlayTrack(dir.path() / "track03.ogg", [](uint32_t) {}));
  EXPECT_FALSE(audio.PlayTrack(dir.path() / "missing.wav", [](uint32_t) {}));

  std::vector<uint32_t> ends;
  // Repeats from its own end callback, as a repeating CD track does.
  AudioOut::TrackEnd repeat = [&](uint32_t playedMs) {
    EXPECT_EQ(playedMs, 100u);
    ends.push_back(audio.NowMs());
    if (ends.size() < 3) audio.PlayTrack(dir.path() / "track02.wav", repeat);
  };
  ASSERT_TRUE(audio.PlayTrack(dir.path() / "track02.wav", repeat));
  audio.AdvanceTo(1000);
  EXPECT_EQ(ends, (std::vector<uint32_t>{100, 200, 300}));
  EXPECT_FALSE(audio.TrackPlaying());

  ASSERT_TRUE(audio.PlayTrack(dir.path() / "track02.wav", repeat));
  audio.AdvanceTo(1050);
  EXPECT_TRUE(audio.TrackPlaying());
  audio.StopTrack();
  audio.AdvanceTo(2000);
  EXPECT_EQ(ends.size(), 3u);
}

TEST(HeadlessAudio, RawTracksPlayForTheTimeTheirSpansHold) {
  test::TempDir dir;
  dir.Write("a.bin", Bytes(176400, 0));  // one second of CD audio
  dir.Write("b.bin", Bytes(800, 0));
  HeadlessAudio audio;
  uint32_t played = 0;
  // Half a second from each file, and 4 bytes more: one sample frame rounds up to a millisecond.
  ASSERT_TRUE(audio.PlayRawTrack({{dir.path() / "a.bin", 88200, 88200}, {dir.path() / "b.bin", 0, 4}},
                                 [&](uint32_t ms) { played = ms; }));
  audio.AdvanceTo(500);
  EXPECT_TRUE(audio.TrackPlaying());
  audio.AdvanceTo(501);
  EXPECT_FALSE(audio.TrackPlaying());
  EXPECT_EQ(played, 501u);

  // A span past the end of its file, or in no file, plays nothing and stops what played.
  ASSERT_TRUE(audio.PlayRawTrack({{dir.path() / "a.bin", 0, 176400}}, {}));
  EXPECT_FALSE(audio.PlayRawTrack({{dir.path() / "b.bin", 400, 401}}, {}));
  EXPECT_FALSE(audio.TrackPlaying());
  EXPECT_FALSE(audio.PlayRawTrack({{dir.path() / "b.bin", 801, 0}}, {}));
  EXPECT_FALSE(audio.PlayRawTrack({{dir.path() / "gone.bin", 0, 0}}, {}));
}

TEST(HeadlessAudio, DrivesTheSequencerOncePerVirtualMillisecondIntoTheLog) {
  test::TempDir dir;
  {
    HeadlessAudio audio(dir.path() / "midi.log", 5000);
    ASSERT_TRUE(audio.LoggingMidi());
    MidiPlayer player(audio);
    player.LoadSong(test::Smf(96, {test::Track().Event(0, {0x90, 60, 100})}));
    player.SetLoop(false);
    player.PlayFromStart();
    audio.AdvanceTo(5005);
    EXPECT_TRUE(player.Playing());
    audio.AdvanceTo(5006);
    EXPECT_FALSE(player.Playing());
    // A clock that goes back is ignored rather than run for four billion milliseconds.
    audio.AdvanceTo(10);
    EXPECT_EQ(audio.NowMs(), 5006u);
  }
  const std::string log = dir.Read("midi.log");
  EXPECT_TRUE(log.starts_with("5000 open\n5005 90 3c 64\n5006 b0 07 00\n")) << log;
  EXPECT_TRUE(log.ends_with("5006 bf 07 00\n5006 reset\n5006 close\n")) << log;
}

TEST(HeadlessAudio, KeepsVolumesAndWrapsItsClock) {
  HeadlessAudio audio({}, 0xFFFFFFF0u);
  uint32_t volume = 0;
  ASSERT_TRUE(audio.GetVolume(VolumeLine::Midi, volume));
  EXPECT_EQ(volume, 0xFFFFFFFFu);
  audio.SetVolume(VolumeLine::Midi, 0x32C832C8);
  audio.GetVolume(VolumeLine::Midi, volume);
  EXPECT_EQ(volume, 0x32C832C8u);

  int ticks = 0;
  audio.SetMidiTicker([&] { ++ticks; });
  audio.AdvanceTo(0x10);
  EXPECT_EQ(ticks, 0x20);
}

}  // namespace
}  // namespace orv
