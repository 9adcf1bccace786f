#include "platform/audio/wave_file.h"

#include <gtest/gtest.h>

#include "sound/wave_builder.h"

namespace orv {
namespace {

using namespace test;

TEST(WaveFile, PcmLengthComesFromTheDataChunk) {
  const auto info = ParseWaveFile(PcmWave(2, 44100, 16, 66150));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->encoding, WaveEncoding::Pcm);
  EXPECT_EQ(info->frames, 66150u);
  EXPECT_EQ(info->LengthMs(), 1500u);
  // Rounded up: one frame more is one millisecond more.
  EXPECT_EQ(ParseWaveFile(PcmWave(1, 8000, 8, 8001))->LengthMs(), 1001u);
}

TEST(WaveFile, AdpcmLengthCountsWholeAndShortBlocks) {
  // Microsoft ADPCM, mono, 256-byte blocks: 500 frames a block; a 107-byte last block holds
  // its 7-byte header (2 frames) and 100 bytes of two frames each.
  const auto ms = ParseWaveFile(MsAdpcmWave(1, 8000, 256, 3 * 256 + 107));
  ASSERT_TRUE(ms);
  EXPECT_EQ(ms->encoding, WaveEncoding::MsAdpcm);
  EXPECT_EQ(ms->frames, 3u * 500 + 202);
  EXPECT_EQ(ms->LengthMs(), 213u);
  // A last block too short for its header adds nothing.
  EXPECT_EQ(ParseWaveFile(MsAdpcmWave(1, 8000, 256, 3 * 256 + 6))->frames, 1500u);

  // IMA ADPCM, stereo, 1024-byte blocks: 1017 frames a block.
  const auto ima = ParseWaveFile(ImaAdpcmWave(2, 22050, 1024, 10 * 1024));
  ASSERT_TRUE(ima);
  EXPECT_EQ(ima->encoding, WaveEncoding::ImaAdpcm);
  EXPECT_EQ(ima->frames, 10170u);
  EXPECT_EQ(ima->LengthMs(), 462u);
}

TEST(WaveFile, WalksChunksAndClipsTheDataToTheFile) {
  Bytes fmt = FormatChunk(1, 1, 1000, 1, 8);
  Bytes file = RiffWave(fmt, Bytes(500, 0x80));
  // A "LIST" chunk of odd size (with its pad byte) before the format chunk.
  file.insert(file.begin() + 12, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
  EXPECT_EQ(ParseWaveFile(file)->LengthMs(), 500u);
  // The data chunk claims more than the file has.
  file.resize(file.size() - 100);
  EXPECT_EQ(ParseWaveFile(file)->LengthMs(), 400u);
  file[file.size() - 400 - 1] = 0x7F;
  EXPECT_EQ(ParseWaveFile(file)->LengthMs(), 400u);
}

TEST(WaveFile, RefusesWhatCannotBePlayed) {
  EXPECT_FALSE(ParseWaveFile(Bytes{}));
  EXPECT_FALSE(ParseWaveFile(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}));
  const Bytes good = PcmWave(1, 8000, 16, 10);
  Bytes noData(good.begin(), good.begin() + 12 + 8 + 16);
  EXPECT_FALSE(ParseWaveFile(noData));
  EXPECT_FALSE(ParseWaveFile(RiffWave(FormatChunk(0x55, 2, 44100, 1, 0), Bytes(10))));  // MPEG layer 3 in RIFF
  EXPECT_FALSE(ParseWaveFile(RiffWave(FormatChunk(1, 0, 44100, 2, 16), Bytes(10))));     // no channels
  EXPECT_FALSE(ParseWaveFile(RiffWave(FormatChunk(1, 1, 0, 2, 16), Bytes(10))));         // no rate
  EXPECT_FALSE(ParseWaveFile(RiffWave(FormatChunk(1, 2, 44100, 0, 16), Bytes(10))));     // no block size
  EXPECT_FALSE(ParseWaveFile(RiffWave(FormatChunk(2, 2, 44100, 10, 4), Bytes(10))));     // ADPCM block < headers
  EXPECT_FALSE(ParseWaveFile(RiffWave(Bytes(12), Bytes(10))));                           // short format chunk
}

TEST(WaveFile, ExtensibleFormatNamesItsEncodingInTheSubFormat) {
  Bytes fmt = FormatChunk(0xFFFE, 2, 48000, 4, 16);
  AppendU16LE(fmt, 22);
  AppendU16LE(fmt, 16);
  AppendU32LE(fmt, 3);
  AppendU16LE(fmt, 1);  // PCM
  fmt.resize(fmt.size() + 14);
  const auto info = ParseWaveFile(RiffWave(fmt, Bytes(48000 * 4)));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->LengthMs(), 1000u);
}

}  // namespace
}  // namespace orv
