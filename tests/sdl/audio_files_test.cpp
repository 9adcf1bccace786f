// Lengths read from the headers of real encoded files (made by sox, when it is installed)
// against what SDL and SDL_mixer decode from the same files.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/audio/track_length.h"
#include "platform/audio/wave_file.h"
#include "platform/game_folder.h"
#include "platform/sdl/sdl_audio.h"
#include "support/test_support.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

bool HaveSox() { return std::system("sox --version > /dev/null 2>&1") == 0; }
bool SoxWritesMp3() { return std::system("sox -h 2>/dev/null | grep -q 'FORMATS:.* mp3'") == 0; }

// A sine tone of `seconds` at `rate` in `channels`, encoded as sox's OPTIONS and extension say.
fs::path Tone(const test::TempDir& dir, const std::string& name, int rate, int channels, const std::string& seconds,
              const std::string& options = "") {
  const fs::path file = dir.path() / name;
  const std::string command = "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " +
                              options + " '" + file.string() + "' synth " + seconds + " sine 440 2> /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return file;
}

TEST(AudioFiles, TrackLengthsMatchWhatSdlMixerDecodes) {
  if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudio audio(SdlAudio::Options{});
  ASSERT_TRUE(audio.DeviceOpen());
  test::TempDir dir;
  for (const fs::path& file : {Tone(dir, "a.ogg", 44100, 2, "2.5"), Tone(dir, "b.flac", 22050, 1, "1.234"),
                               Tone(dir, "c.ogg", 22050, 1, "0.3"), Tone(dir, "d.wav", 48000, 2, "0.75")}) {
    const auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    const auto ours = TrackLengthMs(*bytes);
    ASSERT_TRUE(ours) << file;
    Mix_Music* music = Mix_LoadMUS(file.c_str());
    ASSERT_TRUE(music) << Mix_GetError();
    const double seconds = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    EXPECT_NEAR(*ours, seconds * 1000, 1.0) << file;
  }
}

TEST(AudioFiles, Mp3LengthsMatchWhatSdlMixerDecodes) {
  if (!HaveSox() || !SoxWritesMp3()) GTEST_SKIP() << "sox cannot write MP3 (libsox-fmt-mp3)";
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudio audio(SdlAudio::Options{});
  ASSERT_TRUE(audio.DeviceOpen());
  test::TempDir dir;
  for (const fs::path& file : {Tone(dir, "a.mp3", 44100, 2, "1.5"), Tone(dir, "b.mp3", 22050, 1, "0.9", "-C 32"),
                               Tone(dir, "c.mp3", 32000, 2, "3", "-C 192")}) {
    const auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    const auto ours = TrackLengthMs(*bytes);
    ASSERT_TRUE(ours) << file;
    Mix_Music* music = Mix_LoadMUS(file.c_str());
    ASSERT_TRUE(music) << Mix_GetError();
    const double seconds = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    // Encoders pad an MP3 stream at both ends; SDL_mixer trims what the encoder's tag
    // says, the headers give whole frames. They agree to within a frame.
    EXPECT_NEAR(*ours, seconds * 1000, 1152.0 * 1000 / 22050) << file;
  }
}

TEST(AudioFiles, AdpcmFrameCountsMatchWhatSdlDecodes) {
  if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudio audio(SdlAudio::Options{});  // sets how SDL treats a short last block
  test::TempDir dir;
  for (const fs::path& file : {Tone(dir, "ms1.wav", 22050, 2, "0.777", "-e ms-adpcm"),
                               Tone(dir, "ms2.wav", 11025, 1, "0.1", "-e ms-adpcm"),
                               Tone(dir, "ima1.wav", 11025, 1, "0.5", "-e ima-adpcm"),
                               Tone(dir, "ima2.wav", 44100, 2, "0.3333", "-e ima-adpcm")}) {
    const auto bytes = ReadFileBytes(file);
    ASSERT_TRUE(bytes);
    const auto info = ParseWaveFile(*bytes);
    ASSERT_TRUE(info) << file;
    SDL_AudioSpec format;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    ASSERT_TRUE(SDL_LoadWAV(file.c_str(), &format, &samples, &length)) << SDL_GetError();
    SDL_FreeWAV(samples);
    EXPECT_EQ(info->frames, length / (format.channels * SDL_AUDIO_BITSIZE(format.format) / 8)) << file;
  }
}

}  // namespace
}  // namespace orv
