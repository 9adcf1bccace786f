#include "sound/midi_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "platform/game_folder.h"
#include "sound/smf_builder.h"

namespace orv {
namespace {

using test::Smf;
using test::Track;

// (delta, status, data1, data2) of every record.
using Record = std::tuple<uint32_t, int, int, int>;
std::vector<Record> Records(const MidiSong& song) {
  std::vector<Record> out;
  for (const MidiEvent& e : song.events) out.emplace_back(e.delta, e.status, e.data1, e.data2);
  return out;
}

MidiSong Parse(const Bytes& file) {
  auto song = ParseMidiSong(file);
  EXPECT_TRUE(song.has_value());
  return song.value_or(MidiSong{});
}

TEST(MidiFile, ReadsHeaderAndChannelMessages) {
  const MidiSong song = Parse(Smf(480, {Track()
                                            .Event(0, {0x90, 60, 100})
                                            .Event(96, {0x80, 60, 0})
                                            .Event(0, {0xC1, 5})
                                            .Event(10, {0xE2, 0x00, 0x40})
                                            .EndOfTrack()},
                                     0));
  EXPECT_EQ(song.division, 480);
  EXPECT_EQ(Records(song), (std::vector<Record>{
                               {0, 0x90, 60, 100}, {96, 0x80, 60, 0}, {0, 0xC1, 5, 0}, {10, 0xE2, 0x00, 0x40}}));
}

TEST(MidiFile, EqualTicksTakeOneEventPerTrackInTrackOrder) {
  // Both tracks have events at tick 0; the first has two. Each merge step lets every due
  // track read one event, so the second event of track 0 comes after track 1's first.
  const MidiSong song = Parse(Smf(96, {Track().Event(0, {0x90, 1, 1}).Event(0, {0x90, 2, 1}).Event(10, {0x90, 3, 1}),
                                       Track().Event(0, {0x91, 4, 1}).Event(5, {0x91, 5, 1}).Event(5, {0x91, 6, 1})}));
  EXPECT_EQ(Records(song), (std::vector<Record>{{0, 0x90, 1, 1},
                                                {0, 0x91, 4, 1},
                                                {0, 0x90, 2, 1},
                                                {5, 0x91, 5, 1},
                                                {5, 0x90, 3, 1},
                                                {0, 0x91, 6, 1}}));
}

TEST(MidiFile, EventsThatRecordNothingLeaveTheirTicksToTheNextRecord) {
  // A marker alone at tick 10 and a text event in another track at tick 7: the note at tick
  // 20 still comes 20 ticks after the first.
  const MidiSong song = Parse(Smf(96, {Track()
                                           .Event(0, {0x90, 60, 1})
                                           .Event(10, {0xFF, 0x06, 0x01, 'M'})
                                           .Event(10, {0x90, 61, 1})
                                           .EndOfTrack(),
                                       Track().Event(7, {0xFF, 0x01, 0x02, 'h', 'i'}).EndOfTrack(100)}));
  EXPECT_EQ(Records(song), (std::vector<Record>{{0, 0x90, 60, 1}, {20, 0x90, 61, 1}}));
}

TEST(MidiFile, TempoBecomesTwoRecordsAndZeroTempoNone) {
  const MidiSong song = Parse(Smf(96, {Track().Tempo(0, 0x0A1B2C).Tempo(5, 0).Tempo(5, 500000).Event(0, {0x90, 1, 1})}));
  EXPECT_EQ(Records(song), (std::vector<Record>{{0, 0xFF, 0x2C, 0x1B},
                                                {0, 0xFF, 0x0A, 0x00},
                                                {10, 0xFF, 0x20, 0xA1},
                                                {0, 0xFF, 0x07, 0x00},
                                                {0, 0x90, 1, 1}}));
}

TEST(MidiFile, SystemExclusiveKeepsF0AndItsDataInABuffer) {
  const MidiSong song = Parse(Smf(96, {Track()
                                           .Event(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7})
                                           .Event(0, {0xF0, 0x01, 0xF7})
                                           .Event(0, {0xFE})
                                           .Event(3, {0x90, 1, 1})}));
  EXPECT_EQ(Records(song), (std::vector<Record>{{0, 0xF0, 0, 0}, {0, 0xF0, 1, 0}, {3, 0x90, 1, 1}}));
  ASSERT_EQ(song.sysExBuffers.size(), 2u);
  EXPECT_EQ(song.sysExBuffers[0], (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(song.sysExBuffers[1], (Bytes{0xF0, 0xF7}));

  // One too long for any device is left out, its time kept.
  Track huge;
  huge.Event(0, {0xF0, 0x84, 0x80, 0x00});  // 65536 bytes follow
  Bytes file = Smf(96, {huge});
  file.resize(file.size() + 65536, 0x01);
  const Bytes tail{0x05, 0x90, 1, 1};
  file.insert(file.end(), tail.begin(), tail.end());
  file[18] = 0x7F;  // the chunk runs to the end of the file
  const MidiSong capped = Parse(file);
  EXPECT_TRUE(capped.sysExBuffers.empty());
  EXPECT_EQ(Records(capped), (std::vector<Record>{{5, 0x90, 1, 1}}));
}

TEST(MidiFile, RunningStatusIsTheLastStatusOfWhateverKind) {
  const MidiSong song = Parse(Smf(96, {Track()
                                           .Event(0, {0x90, 60, 100})
                                           .Event(1, {61, 100})  // note on again
                                           .Event(1, {0xC2, 7})
                                           .Event(1, {8})  // program change again
                                           .Event(1, {0xFF, 0x01, 0x01, 'a'})
                                           // a data byte after a meta event: another meta event
                                           // whose type is that byte, here a tempo
                                           .Event(1, {0x51, 0x03, 0x03, 0x0D, 0x40})}));
  EXPECT_EQ(Records(song), (std::vector<Record>{{0, 0x90, 60, 100},
                                                {1, 0x90, 61, 100},
                                                {1, 0xC2, 7, 0},
                                                {1, 0xC2, 8, 0},
                                                {2, 0xFF, 0x40, 0x0D},
                                                {0, 0xFF, 0x03, 0x00}}));
}

TEST(MidiFile, ChunkIdentifiersAreNotCheckedAndChunksFollowByLength) {
  Bytes file = Smf(96, {Track().Event(0, {0x90, 1, 1}), Track().Event(4, {0x91, 2, 2})});
  file[0] = 'X';       // header identifier
  file[14 + 2] = 'Q';  // first track identifier
  // A header chunk longer than 6: the tracks start after it.
  file.insert(file.begin() + 14, {0xAA, 0xBB});
  file[7] = 8;
  EXPECT_EQ(Records(Parse(file)), (std::vector<Record>{{0, 0x90, 1, 1}, {4, 0x91, 2, 2}}));
}

TEST(MidiFile, MalformedInputGivesWhatCanBeRead) {
  const Bytes good = Smf(96, {Track().Event(0, {0x90, 1, 1}).Event(5, {0x90, 2, 1})});
  // Too short for a header, or nothing to play.
  EXPECT_FALSE(ParseMidiSong(Bytes(13, 0)));
  EXPECT_FALSE(ParseMidiSong(Smf(96, {Track().EndOfTrack()})));
  EXPECT_FALSE(ParseMidiSong(Smf(96, {})));

  // A track chunk claiming more bytes than the file has: read to the end of the file.
  Bytes longChunk = good;
  longChunk[14 + 4] = 0x7F;
  EXPECT_EQ(Records(Parse(longChunk)), Records(Parse(good)));
  // 65535 claimed tracks, and a chunk length that would wrap 32-bit arithmetic back onto
  // the same chunk.
  Bytes many = Smf(96, {Track().Event(0, {0x90, 1, 1})});
  many[10] = many[11] = 0xFF;
  EXPECT_EQ(Records(Parse(many)), (std::vector<Record>{{0, 0x90, 1, 1}}));
  many[14 + 4] = many[14 + 5] = many[14 + 6] = 0xFF;
  many[14 + 7] = 0xF8;
  EXPECT_EQ(Records(Parse(many)), (std::vector<Record>{{0, 0x90, 1, 1}}));
  // The header length points past the end.
  Bytes farHeader = good;
  farHeader[4] = 0x80;
  EXPECT_FALSE(ParseMidiSong(farHeader));

  // A track that ends inside a delta, inside an event's data, inside a sysex or a meta
  // event: the events before it stay.
  for (const std::initializer_list<uint8_t> tail : {std::initializer_list<uint8_t>{0x81, 0x80},
                                                   {0x00, 0x90, 0x3C},
                                                   {0x00, 0xF0, 0x05, 0x01, 0x02},
                                                   {0x00, 0xF0, 0x8F},
                                                   {0x00, 0xFF, 0x51, 0x03, 0x07},
                                                   {0x00, 0xFF, 0x51, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}}) {
    const MidiSong song = Parse(Smf(96, {Track().Event(0, {0x90, 1, 1}).Raw(tail), Track().Event(2, {0x91, 2, 2})}));
    EXPECT_EQ(Records(song), (std::vector<Record>{{0, 0x90, 1, 1}, {2, 0x91, 2, 2}}));
  }
  // A track starting with a data byte has no status to run on.
  EXPECT_EQ(Records(Parse(Smf(96, {Track().Event(0, {0x3C, 0x40}), Track().Event(1, {0x91, 2, 2})}))),
            (std::vector<Record>{{1, 0x91, 2, 2}}));
}

TEST(MidiFile, StrayStatusBytesKeepTheTrackInStep) {
  // A sysex escape carries a length; system common messages carry their own data bytes.
  const MidiSong song = Parse(Smf(96, {Track()
                                           .Event(0, {0xF7, 0x02, 0x90, 0x40})
                                           .Event(1, {0xF2, 0x10, 0x20})
                                           .Event(1, {0xF3, 0x05})
                                           .Event(1, {0xF8})
                                           .Event(1, {0x90, 1, 1})}));
  EXPECT_EQ(Records(song), (std::vector<Record>{{4, 0x90, 1, 1}}));
}

TEST(MidiFile, VeryLongDeltasSaturateInsteadOfWrapping) {
  Track track;
  track.Event(0, {0x90, 1, 1});
  for (int i = 0; i < 20; ++i) track.Event(0x0FFFFFFF, {0xFF, 0x01, 0x00});
  track.Event(0, {0x90, 2, 1});
  const MidiSong song = Parse(Smf(96, {track}));
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.events[1].delta, UINT32_MAX);
}

// Real songs shipped by a Debian package; skipped when it is not installed.
TEST(MidiFile, ParsesRealSongs) {
  const std::filesystem::path folder = "/usr/share/games/openttd/baseset/openmsx";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "openttd-openmsx is not installed";
  int songs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".mid") continue;
    const auto bytes = ReadFileBytes(entry.path());
    ASSERT_TRUE(bytes);
    const auto song = ParseMidiSong(*bytes);
    ASSERT_TRUE(song) << entry.path();
    // Reference walk: every channel message of every track, and the tick of the last one.
    size_t channelMessages = 0;
    uint64_t lastTick = 0;
    const uint16_t tracks = ReadU16BE(*bytes, 10).value();
    size_t chunk = 8 + ReadU32BE(*bytes, 4).value();
    for (uint16_t t = 0; t < tracks; ++t) {
      const size_t end = chunk + 8 + ReadU32BE(*bytes, chunk + 4).value();
      size_t pos = chunk + 8;
      uint64_t tick = 0;
      uint8_t status = 0;
      while (pos < end) {
        uint32_t delta = 0;
        do delta = delta << 7 | ((*bytes)[pos] & 0x7F);
        while ((*bytes)[pos++] & 0x80);
        tick += delta;
        if ((*bytes)[pos] >= 0x80) status = (*bytes)[pos++];
        if (status < 0xF0) {
          pos += (status & 0xE0) == 0xC0 ? 1 : 2;
          ++channelMessages;
          lastTick = std::max(lastTick, tick);
          continue;
        }
        if (status == 0xFF) ++pos;
        uint32_t length = 0;
        do length = length << 7 | ((*bytes)[pos] & 0x7F);
        while ((*bytes)[pos++] & 0x80);
        pos += length;
      }
      chunk = end;
    }
    size_t recorded = 0;
    uint64_t tick = 0, lastRecordedTick = 0;
    for (const MidiEvent& e : song->events) {
      tick += e.delta;
      if (e.status >= 0xF0) continue;
      ++recorded;
      lastRecordedTick = tick;
    }
    EXPECT_EQ(recorded, channelMessages) << entry.path();
    EXPECT_EQ(lastRecordedTick, lastTick) << entry.path();
    ++songs;
  }
  EXPECT_GT(songs, 10);
}

}  // namespace
}  // namespace orv
