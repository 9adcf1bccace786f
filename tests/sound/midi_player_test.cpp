#include "sound/midi_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "platform/audio/midi_recorder.h"
#include "sound/smf_builder.h"

namespace orv {
namespace {

using test::Smf;
using test::Track;
using Lines = std::vector<std::string>;

// A player sending to a recorder, with a millisecond clock that OnTimer calls advance.
struct Rig {
  uint32_t now = 0;
  Lines lines;
  MidiRecorder recorder{[this] { return now; }, [this](const std::string& line) { lines.push_back(line); }};
  MidiPlayer player{recorder};

  explicit Rig(const Bytes& song) { player.LoadSong(ByteSpan(song)); }
  void Run(uint32_t ms) {
    for (uint32_t i = 0; i < ms; ++i) {
      ++now;
      player.OnTimer();
    }
  }
  Lines Take() { return std::exchange(lines, {}); }
};

// The messages of one kind, in order, each "TIME BYTES".
Lines Matching(const Lines& lines, const std::string& bytesPrefix) {
  Lines out;
  for (const std::string& line : lines)
    if (line.substr(line.find(' ') + 1).starts_with(bytesPrefix)) out.push_back(line);
  return out;
}

Lines WithoutTimes(const Lines& lines) {
  Lines out;
  for (const std::string& line : lines) out.push_back(line.substr(line.find(' ') + 1));
  return out;
}

Lines StopSequence() {
  Lines out;
  for (int ch = 0; ch < 16; ++ch) out.push_back(std::string("b") + "0123456789abcdef"[ch] + " 07 00");
  out.push_back("reset");
  out.push_back("close");
  return out;
}

TEST(MidiPlayer, DefaultTempoIs150BeatsPerMinute) {
  // Division 96 at 400000 us per quarter note: 0.24 ticks per millisecond. The first event
  // runs on the first tick; an event at tick t runs on tick t + 1.
  Rig rig(Smf(96, {Track()
                       .Event(0, {0x90, 60, 100})
                       .Event(1, {0x90, 61, 100})
                       .Event(1, {0x90, 62, 100})
                       .Event(22, {0x90, 63, 100})}));
  rig.player.SetLoop(false);
  ASSERT_TRUE(rig.player.PlayFromStart());
  rig.Run(110);
  EXPECT_EQ(rig.lines.front(), "0 open");
  EXPECT_EQ(Matching(rig.lines, "90"), (Lines{"5 90 3c 64", "9 90 3d 64", "13 90 3e 64", "105 90 3f 64"}));
}

TEST(MidiPlayer, DoesAtMostTenTicksPerCallback) {
  // 96 ticks per millisecond after the tempo event; one note on every tick.
  Track track;
  track.Tempo(0, 10000).Event(0, {0x90, 0, 1});
  for (uint8_t key = 1; key < 40; ++key) track.Event(1, {0x90, key, 1});
  Rig rig(Smf(960, {track}));
  rig.player.PlayFromStart();
  rig.Run(4);
  EXPECT_EQ(Matching(rig.lines, "90").size(), 31u);
  EXPECT_EQ(Matching(rig.lines, "90 0a").front(), "2 90 0a 01");
  EXPECT_EQ(Matching(rig.lines, "90 0b").front(), "3 90 0b 01");
  EXPECT_EQ(Matching(rig.lines, "90 1e").front(), "4 90 1e 01");
}

TEST(MidiPlayer, LoopResendsWhatTheSongSetAndGeneralMidiDefaultsForTheRest) {
  Rig rig(Smf(96, {Track()
                       .Event(0, {0xC0, 5})
                       .Event(0, {0xB1, 7, 0xC8})  // out of range: sent and re-sent as 127
                       .Event(0, {0xB2, 10, 20})
                       .Event(0, {0xB2, 91, 30})
                       .Event(0, {0xB2, 93, 40})
                       .Event(0, {0xB3, 0, 2})
                       .Event(0, {0xB3, 1, 9})  // not a kept controller
                       .Event(0, {0xB4, 11, 0})
                       .Event(0, {0xB5, 10, 0})  // hard left, set by the song: kept
                       .Event(10, {0x90, 60, 1})}));
  rig.player.PlayFromStart();
  rig.Run(46);
  EXPECT_EQ(Matching(rig.lines, "b1 07"), (Lines{"5 b1 07 7f"}));
  // The last note is at tick 10, the eleventh tick, at 46 ms; the next callback restarts.
  EXPECT_EQ(Matching(rig.Take(), "90"), (Lines{"46 90 3c 01"}));
  rig.Run(1);

  Lines expected;
  const std::string hex = "0123456789abcdef";
  // Per channel the value the song set, or the General MIDI default.
  const auto forAll = [&](char kind, const std::string& controller, const std::string& fallback,
                          const std::map<int, std::string>& set) {
    for (int ch = 0; ch < 16; ++ch) {
      const std::string value = set.count(ch) ? set.at(ch) : fallback;
      expected.push_back(std::string{kind, hex[size_t(ch)]} + " " +
                         (kind == 'c' ? value + " 00" : controller + " " + value));
    }
  };
  forAll('c', "", "00", {{0, "05"}});
  forAll('b', "00", "00", {{3, "02"}});
  forAll('b', "0a", "40", {{2, "14"}, {5, "00"}});
  forAll('b', "5b", "28", {{2, "1e"}});
  forAll('b', "5d", "00", {{2, "28"}});
  forAll('b', "07", "64", {{1, "7f"}});
  forAll('b', "0b", "7f", {{4, "00"}});
  ASSERT_EQ(rig.lines.size(), 16u * 7);
  EXPECT_EQ(WithoutTimes(rig.lines), expected);
  EXPECT_EQ(rig.lines.front().substr(0, 3), "47 ");
}

TEST(MidiPlayer, ALoopingSongThatSoundsNoNoteOrTakesNoTimeHoldsAtItsEnd) {
  // Set-up messages alone, and a note alone: each pass would last one tick.
  const Track setUp = Track().Event(0, {0xC0, 5}).Event(0, {0xB0, 7, 90}).Event(0, {0xB0, 10, 30});
  const Track settingUpForAWhile = Track(setUp).Event(960, {0xB0, 10, 90});
  for (const Track& track : {setUp, settingUpForAWhile, Track().Event(0, {0x90, 60, 100})}) {
    Rig rig(Smf(96, {track}));
    ASSERT_TRUE(rig.player.PlayFromStart());
    rig.Run(20000);
    // The song's own messages once, nothing after them, and still on until stopped.
    EXPECT_LE(rig.lines.size(), 5u);
    EXPECT_TRUE(rig.player.Playing());
    EXPECT_FALSE(rig.player.Replays());
    rig.Take();
    rig.player.StopPlayback();
    EXPECT_EQ(WithoutTimes(rig.Take()), StopSequence());
  }
  // A song that takes time and sounds a note goes round as often as its length allows.
  Rig rig(Smf(96, {Track().Event(0, {0x90, 60, 100}).Event(96, {0x80, 60, 0})}));
  EXPECT_TRUE(rig.player.Replays());
  rig.player.PlayFromStart();
  rig.Run(2000);
  EXPECT_EQ(Matching(rig.lines, "90").size(), 5u);
  EXPECT_EQ(Matching(rig.lines, "c0").size(), 4u);
}

TEST(MidiPlayer, StopSilencesResetsAndClosesThenPlayReopens) {
  Rig rig(Smf(96, {Track().Event(0, {0x90, 60, 100}).Event(96, {0x80, 60, 0})}));
  rig.player.PlayFromStart();
  rig.Run(20);
  rig.Take();
  rig.player.StopPlayback();
  EXPECT_EQ(WithoutTimes(rig.Take()), StopSequence());
  EXPECT_FALSE(rig.player.Playing());
  rig.Run(500);
  rig.player.StopPlayback();
  EXPECT_TRUE(rig.lines.empty());
  ASSERT_TRUE(rig.player.PlayFromStart());
  EXPECT_EQ(rig.Take(), (Lines{"520 open"}));
  EXPECT_TRUE(rig.player.Playing());
}

TEST(MidiPlayer, WithoutLoopStopsByItselfAfterTheLastEvent) {
  Rig rig(Smf(96, {Track().Event(0, {0x90, 60, 100}).Event(24, {0x80, 60, 0})}));
  rig.player.SetLoop(false);
  rig.player.PlayFromStart();
  rig.Run(104);
  EXPECT_TRUE(rig.player.Playing());
  rig.Run(1);  // tick 25 plays the note off
  EXPECT_EQ(rig.lines.back(), "105 80 3c 00");
  rig.Take();
  rig.Run(1);  // the next callback finds the end
  EXPECT_EQ(WithoutTimes(rig.Take()), StopSequence());
  EXPECT_FALSE(rig.player.Playing());
  EXPECT_TRUE(rig.player.HasSong());
  rig.Run(1000);
  EXPECT_TRUE(rig.lines.empty());
}

TEST(MidiPlayer, TempoChangesTimingAndALoopKeepsTheFinalTempo) {
  Rig rig(Smf(96, {Track().Event(0, {0x90, 60, 1}).Tempo(24, 200000).Event(24, {0x90, 61, 1})}));
  rig.player.PlayFromStart();
  rig.Run(170);
  // The tempo runs on tick 25 (105 ms) and starts a new time base at 0.48 ticks per ms;
  // that tick counts as its first, so the note 24 ticks later is due at 53 ms.
  // After the restart at 159 the first tick comes at the final tempo, 3 ms later.
  EXPECT_EQ(Matching(rig.lines, "90"), (Lines{"5 90 3c 01", "158 90 3d 01", "162 90 3c 01"}));
  EXPECT_EQ(rig.player.Tempo(), 200000u);
}

TEST(MidiPlayer, SendsSystemExclusiveAsLongMessages) {
  Rig rig(Smf(96, {Track().Event(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).Event(0, {0x90, 60, 1})}));
  rig.player.PlayFromStart();
  rig.Run(5);
  EXPECT_EQ(rig.lines, (Lines{"0 open", "5 f0 7e 7f 09 01 f7", "5 90 3c 01"}));
}

// Fails its first Open, as a busy device would.
class BusyOnceOutput final : public MidiOutput {
 public:
  explicit BusyOnceOutput(MidiOutput& inner) : inner_(inner) {}
  bool Open() override { return opens_++ > 0 && inner_.Open(); }
  void ShortMessage(uint8_t s, uint8_t d1, uint8_t d2) override { inner_.ShortMessage(s, d1, d2); }
  void LongMessage(ByteSpan b) override { inner_.LongMessage(b); }
  void Reset() override { inner_.Reset(); }
  void Close() override { inner_.Close(); }

 private:
  MidiOutput& inner_;
  int opens_ = 0;
};

TEST(MidiPlayer, ClosedDeviceGetsNothingAndReopensWithAllSoundOffAtTheLoop) {
  Rig rig(Smf(96, {}));
  BusyOnceOutput busy(rig.recorder);
  MidiPlayer player(busy);
  player.LoadSong(Smf(960, {Track().Event(0, {0x90, 60, 1}).Event(1, {0x80, 60, 0})}));
  player.PlayFromStart();
  for (int i = 0; i < 2; ++i) player.OnTimer();
  ASSERT_EQ(rig.lines.size(), 1u + 16 + 16 * 7);
  EXPECT_EQ(rig.lines[0], "0 open");
  EXPECT_EQ(WithoutTimes(Lines(rig.lines.begin() + 1, rig.lines.begin() + 3)), (Lines{"b0 78 00", "b1 78 00"}));
  EXPECT_EQ(rig.lines[17], "0 c0 00 00");
}

TEST(MidiPlayer, WithoutASongNothingPlays) {
  Rig rig(Smf(96, {Track().Event(0, {0x90, 60, 1})}));
  EXPECT_TRUE(rig.player.HasSong());
  rig.player.LoadSong(std::nullopt);
  EXPECT_FALSE(rig.player.HasSong());
  EXPECT_FALSE(rig.player.PlayFromStart());
  rig.player.LoadSong(Bytes{'M', 'T', 'h', 'd'});
  EXPECT_FALSE(rig.player.PlayFromStart());
  rig.Run(100);
  EXPECT_TRUE(rig.lines.empty());
}

TEST(MidiPlayer, LoadingStopsTheSongThatPlays) {
  const Bytes song = Smf(96, {Track().Event(0, {0x90, 60, 1}).Event(1000, {0x80, 60, 0})});
  Rig rig(song);
  rig.player.PlayFromStart();
  rig.Run(10);
  rig.Take();
  rig.player.LoadSong(ByteSpan(song));
  EXPECT_EQ(WithoutTimes(rig.Take()), StopSequence());
  EXPECT_FALSE(rig.player.Playing());
}

TEST(MidiPlayer, TimerOnAnotherThreadNeverOverlapsTheGameThread) {
  // The recorder's line list is not thread-safe: the stop protocol alone keeps the two
  // threads from appending at once, and every play ends in a complete stop sequence.
  Track track;
  for (int i = 0; i < 200; ++i) track.Event(0, {0x90, uint8_t(i & 0x7F), 1}).Event(1, {0x80, uint8_t(i & 0x7F), 0});
  Rig rig(Smf(960, {track}));
  std::atomic<bool> done{false};
  std::thread timer([&] {
    while (!done) rig.player.OnTimer();
  });
  for (int i = 0; i < 300; ++i) {
    rig.player.PlayFromStart();
    std::this_thread::yield();
    rig.player.StopPlayback();
  }
  done = true;
  timer.join();
  int open = 0;
  for (const std::string& line : WithoutTimes(rig.lines)) {
    if (line == "open") {
      EXPECT_EQ(open, 0);
      open = 1;
    } else if (line == "close") {
      EXPECT_EQ(open, 1);
      open = 0;
    } else {
      EXPECT_EQ(open, 1) << line;
    }
  }
  EXPECT_EQ(open, 0);
}

}  // namespace
}  // namespace orv
