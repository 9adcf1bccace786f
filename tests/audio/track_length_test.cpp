#include "platform/audio/track_length.h"

#include <gtest/gtest.h>

#include "sound/wave_builder.h"

namespace orv {
namespace {

using test::AppendU16LE;

Bytes OggPage(uint64_t granule, uint32_t serial, const Bytes& packet) {
  Bytes page{'O', 'g', 'g', 'S', 0, 0};
  AppendU32LE(page, uint32_t(granule));
  AppendU32LE(page, uint32_t(granule >> 32));
  AppendU32LE(page, serial);
  AppendU32LE(page, 0);  // sequence
  AppendU32LE(page, 0);  // checksum, not looked at
  page.push_back(1);
  page.push_back(uint8_t(packet.size()));
  page.insert(page.end(), packet.begin(), packet.end());
  return page;
}

TEST(TrackLength, OggTakesTheLastGranuleOfItsStream) {
  Bytes vorbis{1, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, 2};
  AppendU32LE(vorbis, 22050);
  vorbis.resize(30);
  Bytes file = OggPage(0, 7, vorbis);
  for (const uint64_t granule : {4096u, 22050u * 2 - 1000})
    for (const Bytes& page : {OggPage(granule, 7, Bytes(50, 0xAA)), OggPage(999999, 8, Bytes(20, 0))})
      file.insert(file.end(), page.begin(), page.end());
  EXPECT_EQ(TrackLengthMs(file), 1955u);
  // Pages of "no packet ends here" (granule -1) are passed over.
  const Bytes last = OggPage(UINT64_MAX, 7, Bytes(10, 1));
  file.insert(file.end(), last.begin(), last.end());
  EXPECT_EQ(TrackLengthMs(file), 1955u);

  Bytes opus{'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 2};
  AppendU16LE(opus, 312);  // pre-skip
  AppendU32LE(opus, 44100);
  opus.resize(19);
  Bytes opusFile = OggPage(0, 1, opus);
  const Bytes end = OggPage(48000 * 3 + 312, 1, Bytes(5, 0));
  opusFile.insert(opusFile.end(), end.begin(), end.end());
  EXPECT_EQ(TrackLengthMs(opusFile), 3000u);

  EXPECT_FALSE(TrackLengthMs(OggPage(0, 1, Bytes{'\x7f', 'F', 'L', 'A', 'C'})));
}

TEST(TrackLength, FlacStreamInfoGivesRateAndSampleCount) {
  Bytes file{'f', 'L', 'a', 'C', 0x80, 0, 0, 34};
  Bytes info(34, 0);
  const uint32_t rate = 44100;
  const uint64_t samples = 44100ull * 3 + 1;
  info[10] = uint8_t(rate >> 12);
  info[11] = uint8_t(rate >> 4);
  info[12] = uint8_t((rate & 0x0F) << 4 | 1 << 1);  // stereo
  info[13] = uint8_t(15 << 4 | (samples >> 32));     // 16 bits per sample
  for (int i = 0; i < 4; ++i) info[14 + i] = uint8_t(samples >> (24 - 8 * i));
  file.insert(file.end(), info.begin(), info.end());
  EXPECT_EQ(TrackLengthMs(file), 3001u);
  // Behind an ID3v2 tag.
  Bytes tagged{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 5, 1, 2, 3, 4, 5};
  tagged.insert(tagged.end(), file.begin(), file.end());
  EXPECT_EQ(TrackLengthMs(tagged), 3001u);
  // An unknown sample count.
  for (int i = 13; i < 18; ++i) file[8 + i] = 0;
  file[8 + 13] = 15 << 4;
  EXPECT_FALSE(TrackLengthMs(file));
}

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, stereo: 417-byte frames of 1152 samples.
Bytes Mp3Frames(int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) {
    Bytes frame(417, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFB;
    frame[2] = 0x90;
    out.insert(out.end(), frame.begin(), frame.end());
  }
  return out;
}

TEST(TrackLength, Mp3CountsFramesOrReadsTheXingHeader) {
  Bytes file{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 3, 0, 0, 0};
  const Bytes frames = Mp3Frames(100);
  file.insert(file.end(), frames.begin(), frames.end());
  file.insert(file.end(), {'T', 'A', 'G'});
  file.resize(file.size() + 125);
  EXPECT_EQ(TrackLengthMs(file), 2613u);  // 115200 samples

  Bytes xing = Mp3Frames(3);
  const Bytes tag{'X', 'i', 'n', 'g', 0, 0, 0, 1, 0, 0, 0x03, 0xE8};  // 1000 frames
  std::copy(tag.begin(), tag.end(), xing.begin() + 4 + 32);
  EXPECT_EQ(TrackLengthMs(xing), 26123u);

  // A lone frame header in random bytes is not MPEG audio.
  Bytes noise = Mp3Frames(1);
  noise.resize(2000, 0x11);
  EXPECT_FALSE(TrackLengthMs(noise));
  EXPECT_FALSE(TrackLengthMs(Bytes{}));
}

TEST(TrackLength, WaveTracksUseTheWaveHeader) {
  EXPECT_EQ(TrackLengthMs(test::PcmWave(2, 44100, 16, 44100 * 2)), 2000u);
}

}  // namespace
}  // namespace orv
