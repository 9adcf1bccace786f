// Offline rendering of a real multi-track song through our sequencer and FluidSynth, against
// the FluidSynth command-line player rendering the same song with the same SoundFont to the
// same number of samples:
//   fluidsynth -ni -F OUT.wav -r 44100 FONT SONG.mid
// Each side runs as a child process so that its peak memory is its own; the benchmark
// reports both CPU times (user and system, as the child's resource usage counts them: wall
// time on a shared machine would count other work), their ratio (ours / FluidSynth's) and
// both peak resident sizes. The
// baseline runs twice: as the plain command above (which loads the whole SoundFont), and
// with -o synth.dynamic-sample-loading=1, the setting our synthesizer uses.
//
// The song: ORVANE_BENCH_SONG (a file, or "generated"), else a song of the openttd-openmsx
// package, else a dense 8-track song generated here. The font: ORVANE_BENCH_FONT, else the system's GM SoundFont.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/game_folder.h"
#include "platform/sdl/fluidsynth_output.h"
#include "platform/sdl/ticked_synth.h"
#include "sound/midi_player.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using orv::Bytes;

constexpr int kRate = 44100;

struct ChildRun {
  double seconds = 0;
  double peakMegabytes = 0;
  bool ok = false;
};

ChildRun Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  ChildRun run;
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    run.seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// --- the song ----------------------------------------------------------------------------

void PutVarLen(Bytes& out, uint32_t v) {
  Bytes groups{uint8_t(v & 0x7F)};
  while (v >>= 7) groups.insert(groups.begin(), uint8_t(0x80 | (v & 0x7F)));
  out.insert(out.end(), groups.begin(), groups.end());
}

void PutU32BE(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// Eight tracks of chords and runs on different instruments, two minutes at 120 bpm.
Bytes DenseSong() {
  Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 8, 0x01, 0xE0};
  for (int track = 0; track < 8; ++track) {
    Bytes body;
    const uint8_t channel = uint8_t(track == 7 ? 9 : track);
    const uint8_t programs[] = {0, 24, 32, 48, 56, 73, 88, 0};
    PutVarLen(body, 0);
    body.insert(body.end(), {uint8_t(0xC0 | channel), programs[track]});
    if (track == 0) {
      PutVarLen(body, 0);
      body.insert(body.end(), {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    }
    for (int step = 0; step < 960; ++step) {  // 240 quarter notes, in eighths
      const uint8_t key = uint8_t(track == 7 ? 35 + step % 12 : 36 + track * 6 + (step * 7) % 24);
      PutVarLen(body, 0);
      body.insert(body.end(), {uint8_t(0x90 | channel), key, uint8_t(60 + step % 40)});
      PutVarLen(body, 240);
      body.insert(body.end(), {uint8_t(0x80 | channel), key, 0});
    }
    PutVarLen(body, 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutU32BE(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

fs::path BenchSong() {
  const char* chosen = std::getenv("ORVANE_BENCH_SONG");
  if (chosen && std::string(chosen) != "generated") return chosen;
  const fs::path packaged = "/usr/share/games/openttd/baseset/openmsx/keep_on_rolling.mid";
  if (!chosen && fs::exists(packaged)) return packaged;
  const fs::path generated = fs::temp_directory_path() / "orvane-bench-dense.mid";
  const Bytes song = DenseSong();
  if (auto written = orv::WriteFileAtomically(generated, song); !written)
    std::fprintf(stderr, "%s\n", written.error().message.c_str());
  return generated;
}

fs::path BenchFont() {
  if (const char* font = std::getenv("ORVANE_BENCH_FONT")) return font;
  return orv::FluidSynthOutput::FindSoundFont({}, {}).value_or(fs::path());
}

// --- our side, in the child process -----------------------------------------------------

void PutU32LE(std::FILE* f, uint32_t v) {
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  std::fwrite(b, 1, 4, f);
}

void WriteWaveHeader(std::FILE* f, uint32_t frames) {
  std::fwrite("RIFF", 1, 4, f);
  PutU32LE(f, 36 + frames * 4);
  std::fwrite("WAVEfmt ", 1, 8, f);
  PutU32LE(f, 16);
  PutU32LE(f, 1 | 2 << 16);  // PCM, stereo
  PutU32LE(f, kRate);
  PutU32LE(f, kRate * 4);
  PutU32LE(f, 4 | 16 << 16);  // block size, bits per sample
  std::fwrite("data", 1, 4, f);
  PutU32LE(f, frames * 4);
}

// Plays the song once through the sequencer, ticking every millisecond of samples, into a
// 16-bit wave file of exactly `frames` frames.
int RenderChild(const fs::path& song, const fs::path& font, uint32_t frames, const fs::path& out) {
  const auto bytes = orv::ReadFileBytes(song);
  if (!bytes) return 1;
  orv::FluidSynthOutput synth(kRate, font);
  orv::MidiPlayer player(synth);
  player.SetLoop(false);
  player.LoadSong(*bytes);
  player.PlayFromStart();
  orv::TickedSynth ticked(synth, kRate);
  const auto tick = [&] { player.OnTimer(); };

  std::FILE* file = std::fopen(out.c_str(), "wb");
  if (!file) return 1;
  WriteWaveHeader(file, frames);
  constexpr uint32_t kBlock = 4096;
  std::vector<float> rendered(2 * kBlock);
  std::vector<int16_t> pcm(2 * kBlock);
  for (uint32_t done = 0; done < frames;) {
    const uint32_t n = std::min(kBlock, frames - done);
    ticked.Render(rendered.data(), int(n), tick);
    for (uint32_t i = 0; i < 2 * n; ++i) pcm[i] = int16_t(std::clamp(rendered[i] * 32767.0f, -32768.0f, 32767.0f));
    std::fwrite(pcm.data(), sizeof(int16_t), 2 * n, file);
    done += n;
  }
  return std::fclose(file) == 0 ? 0 : 1;
}

// --- the comparison ----------------------------------------------------------------------

void BM_MidiRenderVsFluidsynth(benchmark::State& state) {
  const bool dynamicBaseline = state.range(0) != 0;
  const fs::path song = BenchSong();
  const fs::path font = BenchFont();
  if (font.empty()) {
    state.SkipWithError("no General MIDI SoundFont installed");
    return;
  }
  const fs::path dir = fs::temp_directory_path();
  const std::string theirsFile = (dir / "orvane-bench-fluidsynth.wav").string();
  const std::string oursFile = (dir / "orvane-bench-ours.wav").string();
  const std::string self = fs::read_symlink("/proc/self/exe").string();

  ChildRun theirs, ours;
  uint32_t frames = 0;
  int runs = 0;
  for (auto _ : state) {
    std::vector<std::string> command{"fluidsynth", "-ni"};
    if (dynamicBaseline) command.insert(command.end(), {"-o", "synth.dynamic-sample-loading=1"});
    command.insert(command.end(), {"-F", theirsFile, "-r", std::to_string(kRate), font.string(), song.string()});
    const ChildRun a = Spawn(command);
    std::error_code ec;
    const auto size = fs::file_size(theirsFile, ec);
    if (!a.ok || ec || size <= 44) {
      state.SkipWithError("fluidsynth did not render the song");
      return;
    }
    frames = uint32_t((size - 44) / 4);
    const ChildRun b =
        Spawn({self, "--render", song.string(), font.string(), std::to_string(frames), oursFile});
    if (!b.ok) {
      state.SkipWithError("our renderer failed");
      return;
    }
    state.SetIterationTime(b.seconds);
    theirs.seconds += a.seconds;
    ours.seconds += b.seconds;
    theirs.peakMegabytes = std::max(theirs.peakMegabytes, a.peakMegabytes);
    ours.peakMegabytes = std::max(ours.peakMegabytes, b.peakMegabytes);
    ++runs;
  }
  state.counters["frames"] = frames;
  state.counters["fluidsynth_s"] = theirs.seconds / runs;
  state.counters["ours_s"] = ours.seconds / runs;
  state.counters["ratio"] = ours.seconds / theirs.seconds;
  state.counters["fluidsynth_MB"] = theirs.peakMegabytes;
  state.counters["ours_MB"] = ours.peakMegabytes;
  state.counters["extra_MB"] = ours.peakMegabytes - theirs.peakMegabytes;
  state.SetLabel(song.filename().string() + " / " + font.filename().string());
  fs::remove(theirsFile);
  fs::remove(oursFile);
}
BENCHMARK(BM_MidiRenderVsFluidsynth)
    ->ArgName("dynamic_baseline")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "--render")
    return RenderChild(argv[2], argv[3], uint32_t(std::stoul(argv[4])), argv[5]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
