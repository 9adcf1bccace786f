// How long the first song waits for the synthesizer, which starts with it. SDL's disk audio
// driver writes the mixed stream to a file at the device's pace; where in the stream a song
// started, and the first sample with sound after it, say when the song was heard:
//
//   stream latency = (first sounding frame - frames mixed when the song started) / 44100
//
// "Frames mixed" is counted by a post-mix effect of our own, read with the device locked while
// the song starts, so the song cannot start in the middle of a block. The file's length is no
// measure of it: the driver writes through stdio, whose 4096-byte buffer holds every other
// 1024-frame block back until the next one, so the length lags the stream by a whole block
// (23 ms) half of the time, depending only on where the song falls.
//
// Before each song the device is left to pause, as the player's loop lets it when nothing
// sounds: a song wakes it. A paused device's thread is parked and writes nothing, so every
// block in the file is one the mixer made.
//
// The same is measured for a second song, when the synthesizer already runs: what the first
// song should match. Also printed: how long opening the audio takes, and the first song's
// latency as a listener meets it, which adds the wait for the device's next block (up to one
// device buffer, 23 ms, wherever the song falls in the device's period).
//
//   first_note_latency [--runs N] [--soundfont FILE] [--preload]
//
// --preload starts loading the synthesizer when the audio opens, half a second before the
// first song, as the player does for a game whose folder holds music.
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
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
constexpr int kBytesPerFrame = 4;  // 16-bit stereo
constexpr int kLoud = 64;          // about -54 dBFS: well above the effects' noise floor
constexpr int kGapMs = 3000;       // for the first song's reverb to die away

// One track: a piano note at tick 0 held for a quarter note.
Bytes OneNoteSong() {
  const Bytes track = {0x00, 0xC0, 0x00, 0x00, 0x90, 60, 110, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
  Bytes smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
  for (int shift = 24; shift >= 0; shift -= 8) smf.push_back(uint8_t(track.size() >> shift));
  smf.insert(smf.end(), track.begin(), track.end());
  return smf;
}

uint64_t FileFrames(const fs::path& file) {
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

// Counts the frames the mixer has made, and when each block was made, from a post-mix effect:
// it runs in the device's callback, before the synthesizer is mixed in. The effect goes when
// the audio closes, so the clock outlives the audio and then holds every block it counted.
class StreamClock {
 public:
  // From the next block on; registering waits for a block being made.
  void Attach() { Mix_RegisterEffect(MIX_CHANNEL_POST, Count, nullptr, this); }

  struct Block {
    uint64_t start = 0;  // its first frame
    Clock::time_point made;
  };

  uint64_t Frames() const { return frames_.load(); }
  // The block holding `frame` (counted as Frames() counts); nullopt when not kept.
  std::optional<Block> BlockOf(uint64_t frame) const {
    const size_t count = std::min(blocks_.load(), kBlocks);
    for (size_t i = 0; i < count; ++i)
      if (frame >= starts_[i] && frame < starts_[i] + sizes_[i]) return Block{starts_[i], times_[i]};
    return std::nullopt;
  }

 private:
  static void Count(int, void*, int length, void* self) {
    auto* clock = static_cast<StreamClock*>(self);
    const uint64_t frames = uint64_t(length / kBytesPerFrame);
    const size_t block = clock->blocks_.load();
    if (block < kBlocks) {
      clock->starts_[block] = clock->frames_.load();
      clock->sizes_[block] = frames;
      clock->times_[block] = Clock::now();
      clock->blocks_.store(block + 1);
    }
    clock->frames_ += frames;
  }

  static constexpr size_t kBlocks = 1024;  // 23 s of 1024-frame blocks
  std::atomic<uint64_t> frames_{0};
  std::atomic<size_t> blocks_{0};
  std::array<uint64_t, kBlocks> starts_{}, sizes_{};
  std::array<Clock::time_point, kBlocks> times_{};
};

// SDL_mixer's device: with one open in the process, the one SDL reports as not stopped.
SDL_AudioDeviceID OpenDevice() {
  for (SDL_AudioDeviceID id = 1; id <= 16; ++id)
    if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) return id;
  return 0;
}

struct Start {
  uint64_t frame = 0;  // frames mixed when the song started, as the clock counts them
  Clock::time_point time;
};

// Starts the song between two blocks of the device.
Start PlayBetweenBlocks(orv::MidiPlayer& player, const StreamClock& clock, SDL_AudioDeviceID device) {
  SDL_LockAudioDevice(device);
  const Start start{clock.Frames(), Clock::now()};
  player.PlayFromStart();
  SDL_UnlockAudioDevice(device);
  return start;
}

// Runs the player's pump until the device pauses; false (and said) when it does not.
bool PauseWhenQuiet(orv::SdlAudio& audio) {
  for (int i = 0; i < 200 && !audio.DevicePaused(); ++i) {
    audio.Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!audio.DevicePaused()) std::fprintf(stderr, "the device did not pause: the measure is void\n");
  return audio.DevicePaused();
}

struct Run {
  double openMs = -1, firstMs = -1, secondMs = -1, firstHeardMs = -1;
};

double Ms(int64_t frames) { return double(frames) * 1000.0 / kRate; }

Run MeasureOnce(const fs::path& rawFile, const fs::path& soundFont, bool preload) {
  Run run;
  Start first, second;
  StreamClock clock;
  {
    orv::SdlAudio::Options options;
    options.soundFont = soundFont;
    const auto openStart = Clock::now();
    orv::SdlAudio audio(options);
    run.openMs = std::chrono::duration<double, std::milli>(Clock::now() - openStart).count();
    const SDL_AudioDeviceID device = OpenDevice();
    if (!audio.DeviceOpen() || !audio.MusicReady() || device == 0) {
      std::fprintf(stderr, "no device or no SoundFont\n");
      return run;
    }
    clock.Attach();
    // As the player does for a game with music: the synthesizer loads from the start.
    if (preload) audio.PreloadSynthesizer();
    orv::MidiPlayer player(audio);
    player.SetLoop(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (!PauseWhenQuiet(audio)) return run;
    player.LoadSong(OneNoteSong());
    first = PlayBetweenBlocks(player, clock, device);
    std::this_thread::sleep_for(std::chrono::milliseconds(kGapMs));
    if (!PauseWhenQuiet(audio)) return run;
    player.LoadSong(OneNoteSong());
    second = PlayBetweenBlocks(player, clock, device);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    player.UnloadSong();
  }
  // The file holds every block the clock counted, after those made before it started.
  const uint64_t fileFrames = FileFrames(rawFile);
  if (fileFrames < clock.Frames()) {
    std::fprintf(stderr, "the file is shorter than the stream: the measure is void\n");
    return run;
  }
  const uint64_t origin = fileFrames - clock.Frames();
  std::vector<int16_t> samples(size_t(fileFrames) * 2);
  std::ifstream(rawFile, std::ios::binary)
      .read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
  const uint64_t firstAt = origin + first.frame, secondAt = origin + second.frame;
  const int64_t early = FirstSounding(samples, 0);
  if (early >= 0 && early < int64_t(firstAt))
    std::fprintf(stderr, "sound before the first song: the measure is void\n");
  if (const int64_t sound = FirstSounding(samples, firstAt); sound >= 0) {
    run.firstMs = Ms(sound - int64_t(firstAt));
    const uint64_t frame = uint64_t(sound) - origin;
    // A block starts sounding as it is made: the disk driver writes it at once.
    if (const auto block = clock.BlockOf(frame))
      run.firstHeardMs = std::chrono::duration<double, std::milli>(block->made - first.time).count() +
                         Ms(int64_t(frame - block->start));
  }
  // The second song counts only when the first had gone quiet before it.
  const int64_t tail = FirstSounding(samples, secondAt > uint64_t(kRate / 10) ? secondAt - kRate / 10 : 0);
  const int64_t sound = FirstSounding(samples, secondAt);
  if (sound >= 0 && tail >= int64_t(secondAt)) run.secondMs = Ms(sound - int64_t(secondAt));
  return run;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  fs::path soundFont;
  bool preload = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preload") == 0)
      preload = true;
    else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--soundfont") == 0 && i + 1 < argc)
      soundFont = argv[++i];
    else {
      std::fprintf(stderr, "usage: first_note_latency [--runs N] [--soundfont FILE] [--preload]\n");
      return 2;
    }
  }
  const fs::path rawFile = fs::temp_directory_path() / ("orvane-first-note-" + std::to_string(::getpid()) + ".raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", rawFile.c_str(), 1);
  std::printf("%-6s %14s %22s %22s %24s\n", "run", "open audio ms", "first song: sound ms", "second song: sound ms",
              "first song: heard ms");
  std::vector<double> firsts, seconds, heard;
  for (int r = 0; r < runs; ++r) {
    const Run run = MeasureOnce(rawFile, soundFont, preload);
    std::printf("%-6d %14.1f %22.1f %22.1f %24.1f\n", r + 1, run.openMs, run.firstMs, run.secondMs, run.firstHeardMs);
    if (run.firstMs >= 0) firsts.push_back(run.firstMs);
    if (run.secondMs >= 0) seconds.push_back(run.secondMs);
    if (run.firstHeardMs >= 0) heard.push_back(run.firstHeardMs);
  }
  std::printf("%-6s %14s %22.1f %22.1f %24.1f\n", "median", "", Median(firsts), Median(seconds), Median(heard));
  std::error_code ec;
  fs::remove(rawFile, ec);
  return 0;
}
