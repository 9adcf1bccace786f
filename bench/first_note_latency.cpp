// How long the first song waits for the synthesizer, which starts with it. SDL's disk audio
// driver writes the mixed stream to a file at the device's pace; the file's length when a
// song starts says where in the stream that was, and the first sample with sound after it
// says when the song was heard:
//
//   latency = (first sounding frame - frames written when the song started) / 44100
//
// The same is measured for a second song, when the synthesizer already runs: that is the
// stream's own delay (the device buffer), and what the first song cost before it started
// lazily. The stdio buffer of the driver's file makes each figure uncertain by one device
// buffer (23 ms). Also printed: how long opening the audio takes.
//
//   first_note_latency [--runs N] [--soundfont FILE] [--preload]
//
// --preload starts loading the synthesizer when the audio opens, half a second before the
// first song, as the player does for a game whose folder holds music.
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/bytes.h"
#include "platform/sdl/sdl_audio.h"
#include "sound/midi_player.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using orv::Bytes;

constexpr int kRate = 44100;
constexpr int kBytesPerFrame = 4;   // 16-bit stereo
constexpr int kLoud = 64;           // about -54 dBFS: well above the effects' noise floor
constexpr int kGapMs = 3000;        // for the first song's reverb to die away

// One track: a piano note at tick 0 held for a quarter note.
Bytes OneNoteSong() {
  const Bytes track = {0x00, 0xC0, 0x00, 0x00, 0x90, 60, 110, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
  Bytes smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
  for (int shift = 24; shift >= 0; shift -= 8) smf.push_back(uint8_t(track.size() >> shift));
  smf.insert(smf.end(), track.begin(), track.end());
  return smf;
}

uint64_t FramesWritten(const fs::path& file) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  return ec ? 0 : size / kBytesPerFrame;
}

// The first frame at or after `from` with a sample louder than kLoud; -1 when none.
int64_t FirstSounding(const std::vector<int16_t>& samples, uint64_t from) {
  for (size_t i = size_t(from) * 2; i < samples.size(); ++i)
    if (std::abs(int(samples[i])) > kLoud) return int64_t(i / 2);
  return -1;
}

struct Run {
  double openMs = 0, firstMs = -1, secondMs = -1;
};

Run MeasureOnce(const fs::path& rawFile, const fs::path& soundFont, bool preload) {
  Run run;
  std::vector<int16_t> samples;
  uint64_t firstAt = 0, secondAt = 0;
  {
    orv::SdlAudio::Options options;
    options.soundFont = soundFont;
    const auto openStart = Clock::now();
    orv::SdlAudio audio(options);
    run.openMs = std::chrono::duration<double, std::milli>(Clock::now() - openStart).count();
    if (!audio.DeviceOpen() || !audio.MusicReady()) {
      std::fprintf(stderr, "no device or no SoundFont\n");
      return run;
    }
    // As the player does for a game with music: the synthesizer loads from the start.
    if (preload) audio.PreloadSynthesizer();
    orv::MidiPlayer player(audio);
    player.SetLoop(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    player.LoadSong(OneNoteSong());
    firstAt = FramesWritten(rawFile);
    player.PlayFromStart();
    std::this_thread::sleep_for(std::chrono::milliseconds(kGapMs));
    player.LoadSong(OneNoteSong());
    secondAt = FramesWritten(rawFile);
    player.PlayFromStart();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    player.UnloadSong();
  }
  std::ifstream in(rawFile, std::ios::binary);
  const auto frames = FramesWritten(rawFile);
  samples.resize(size_t(frames) * 2);
  in.read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
  if (FirstSounding(samples, 0) >= 0 && FirstSounding(samples, 0) < int64_t(firstAt))
    std::fprintf(stderr, "sound before the first song: the measure is void\n");
  const int64_t first = FirstSounding(samples, firstAt);
  if (first >= 0) run.firstMs = double(first - int64_t(firstAt)) * 1000.0 / kRate;
  // The second song counts only when the first had gone quiet before it.
  const int64_t tail = FirstSounding(samples, secondAt > uint64_t(kRate / 10) ? secondAt - kRate / 10 : 0);
  const int64_t second = FirstSounding(samples, secondAt);
  if (second >= 0 && tail >= int64_t(secondAt)) run.secondMs = double(second - int64_t(secondAt)) * 1000.0 / kRate;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  fs::path soundFont;
  bool preload = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--preload") == 0) preload = true;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--soundfont") == 0) soundFont = argv[i + 1];
  }
  const fs::path rawFile = fs::temp_directory_path() / ("orvane-first-note-" + std::to_string(::getpid()) + ".raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", rawFile.c_str(), 1);
  std::printf("%-6s %14s %22s %22s\n", "run", "open audio ms", "first song: sound ms", "second song: sound ms");
  for (int r = 0; r < runs; ++r) {
    const Run run = MeasureOnce(rawFile, soundFont, preload);
    std::printf("%-6d %14.1f %22.1f %22.1f\n", r + 1, run.openMs, run.firstMs, run.secondMs);
  }
  std::error_code ec;
  fs::remove(rawFile, ec);
  return 0;
}
