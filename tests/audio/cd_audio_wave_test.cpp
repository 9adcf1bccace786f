#include "platform/audio/cd_audio_wave.h"

#include <gtest/gtest.h>

#include "platform/audio/wave_file.h"
#include "support/test_support.h"

namespace orv {
namespace {

Bytes Counting(size_t length, uint8_t first) {
  Bytes bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = uint8_t(first + i);
  return bytes;
}

TEST(CdAudioAsWave, JoinsSpansAndGapsIntoOnePlayableFile) {
  test::TempDir dir;
  dir.Write("image.bin", Counting(4000, 0));
  const auto image = dir.path() / "image.bin";
  // A gap between two stretches of the image, the second one starting mid-file.
  const std::vector<RawAudioSpan> spans{{image, 8, 400}, {{}, 0, 100}, {image, 2000, 1000}};
  Result<Bytes> wave = CdAudioAsWave(spans, 1 << 20);
  ASSERT_TRUE(wave) << wave.error().message;

  const std::optional<WaveInfo> info = ParseWaveFile(*wave);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->channels, 2);
  EXPECT_EQ(info->sampleRate, 44100u);
  EXPECT_EQ(info->bitsPerSample, 16);
  EXPECT_EQ(info->frames, 1500u / 4);

  const Bytes data(wave->begin() + 44, wave->end());
  ASSERT_EQ(data.size(), 1500u);
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 400), Counting(400, 8));
  EXPECT_EQ(Bytes(data.begin() + 400, data.begin() + 500), Bytes(100, 0));
  EXPECT_EQ(Bytes(data.begin() + 500, data.end()), Counting(1000, uint8_t(2000)));
}

TEST(CdAudioAsWave, RefusesWhatItCannotHoldOrRead) {
  test::TempDir dir;
  dir.Write("short.bin", Counting(100, 0));
  const auto image = dir.path() / "short.bin";
  // Reaching past the end of the image is an error, not a track padded with whatever.
  Result<Bytes> beyond = CdAudioAsWave({{image, 60, 80}}, 1 << 20);
  ASSERT_FALSE(beyond);
  EXPECT_EQ(beyond.error().kind, ErrorKind::Unreadable);
  EXPECT_EQ(CdAudioAsWave({{dir.path() / "absent.bin", 0, 4}}, 1 << 20).error().kind, ErrorKind::NotFound);
  // The size is checked before anything is allocated or read.
  EXPECT_EQ(CdAudioAsWave({{{}, 0, 1 << 20}, {{}, 0, 4}}, 1 << 20).error().kind, ErrorKind::TooLarge);
  // A span list whose total is no whole frame drops the last partial frame.
  Result<Bytes> ragged = CdAudioAsWave({{image, 0, 6}}, 1 << 20);
  ASSERT_TRUE(ragged);
  EXPECT_EQ(ragged->size(), 44u + 4);
}

}  // namespace
}  // namespace orv
