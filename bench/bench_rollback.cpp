// Stepping back through the demo: the memory the rollback ring holds after 500 advances, and
// what one step back costs against loading a save slot (the baseline: the other way the story
// goes back to an earlier point, timed in the same run on the same game).
//
//   bench_rollback [DEMO_DIR] [--benchmark_repetitions=N] [--benchmark_report_aggregates_only=true]
//
// DEMO_DIR defaults to demo-game/ in the build folder this program was built into.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/player.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "platform/speech.h"
#include "platform/text/font_renderer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSteps = 500;

class NoDiagnostics final : public orv::Diagnostics {
 public:
  void Note(std::string_view) override {}
};

// The demo in a folder of its own (it writes a variable file and slots), played headless.
class DemoPlay {
 public:
  explicit DemoPlay(const fs::path& demo, size_t rollbackPoints = orv::RollbackLimits{}.maxPoints)
      : folder_(Copy(demo)),
        host_(lines_.get(), nullptr, clock_),
        player_(orv::PlatformServices{host_, clock_, folder_, fonts_, audio_, diagnostics_, speech_},
                Options(rollbackPoints)) {
    player_.FormCreate();
    player_.Shown();
    // The start-up timer's first advance.
    clock_.AdvanceTo(clock_.NowMs() + player_.StartTimerIntervalMs());
    player_.FireDueTimers(clock_.NowMs());
  }
  ~DemoPlay() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // One advance as a person makes it: Enter, which also takes a text choice's first entry and,
  // with the pointer over it, the sun at the picture choice.
  void Advance() {
    orv::Player& p = player_;
    // The demo's last lines end it: back to the title as soon as they begin.
    if (p.WindowCaption().starts_with(orv::Utf8ToCp932("体験版　おわり"))) {
      p.MenuClick("N1");
      return;
    }
    // Over the sun, where no text choice's entry stands: Enter takes the sun at the picture
    // choice, a text choice's first entry, and otherwise goes on.
    p.MouseMove(220, 232);
    p.KeyDown(orv::KeyPress{orv::KeyCode::Enter});
  }

  orv::Player& player() { return player_; }

 private:
  static orv::PlayerOptions Options(size_t rollbackPoints) {
    orv::PlayerOptions options;
    options.randomSeed = 1;
    options.rollbackPoints = rollbackPoints;
    return options;
  }
  fs::path Copy(const fs::path& demo) {
    root_ = fs::temp_directory_path() / ("orvane-bench-rollback-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::copy(demo, root_, fs::copy_options::recursive);
    return root_;
  }

  fs::path root_;
  orv::GameFolder folder_;
  orv::HeadlessClock clock_;
  // The run's message and caption lines, which nobody reads here.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> lines_{std::fopen("/dev/null", "w"), &std::fclose};
  orv::HeadlessHost host_;
  orv::FontRenderer fonts_;
  orv::HeadlessAudio audio_{fs::path()};
  NoDiagnostics diagnostics_;
  orv::NoSpeech speech_;
  orv::Player player_;
};

fs::path g_demo;

std::unique_ptr<DemoPlay> PlayedDemo() {
  auto demo = std::make_unique<DemoPlay>(g_demo);
  for (int step = 0; step < kSteps && !demo->player().closed(); ++step) demo->Advance();
  return demo;
}

// 100 advances of the demo from its start, with the ring keeping every one or keeping none:
// what recording a point adds to an advance (typing is instant on the virtual clock, so this
// is the advance's own work).
void Advances(benchmark::State& state, size_t rollbackPoints) {
  for (auto _ : state) {
    state.PauseTiming();
    auto demo = std::make_unique<DemoPlay>(g_demo, rollbackPoints);
    state.ResumeTiming();
    for (int step = 0; step < 100 && !demo->player().closed(); ++step) demo->Advance();
    state.PauseTiming();
    demo.reset();
    state.ResumeTiming();
  }
}

// One step back and one forward again: two restores of a point, each from the packed ring.
void StepBackAndForth(benchmark::State& state) {
  auto demo = PlayedDemo();
  orv::Player& p = demo->player();
  for (auto _ : state) {
    if (!p.StepBack() || !p.StepForward()) {
      state.SkipWithError("the ring could not step");
      break;
    }
  }
  state.counters["restores"] = benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate);
}

// The baseline: the demo's slot 0, saved at the same point, loaded back (with its stage wipe).
void LoadSlot(benchmark::State& state) {
  auto demo = PlayedDemo();
  orv::Player& p = demo->player();
  p.MenuClick("SaveDat0");
  for (auto _ : state) {
    if (!p.LoadSlot("data_0.dat")) {
      state.SkipWithError("slot 0 could not be loaded");
      break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (i > 0 && argv[i][0] != '-' && g_demo.empty())
      g_demo = argv[i];
    else
      args.push_back(argv[i]);
  }
  if (g_demo.empty()) g_demo = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "demo-game";
  if (!fs::exists(g_demo / "init.def")) {
    std::fprintf(stderr, "bench_rollback: no demo game at %s (build the target demo, or name its folder)\n",
                 g_demo.c_str());
    return 2;
  }
  {
    auto demo = PlayedDemo();
    const orv::RollbackRing& ring = demo->player().rollback();
    std::printf("after %d advances of the demo: %zu points kept, %.2f MB (%zu bytes), goal under 16 MB\n", kSteps,
                ring.depth(), double(ring.bytes()) / (1 << 20), ring.bytes());
    // Where the memory goes: each packed part once, by the role it plays.
    std::vector<size_t> byPart(orv::kRollbackPartCount);
    std::set<const void*> seen;
    size_t extras = 0;
    for (size_t i = 0; i < ring.depth(); ++i) {
      extras += ring.point(i).extraBytes;
      for (size_t part = 0; part < orv::kRollbackPartCount; ++part)
        if (const auto& bytes = ring.point(i).parts[part].bytes; bytes && seen.insert(bytes.get()).second)
          byPart[part] += bytes->packedSize();
    }
    std::printf("  by part (KB):");
    for (size_t part = 0; part < byPart.size(); ++part) std::printf(" %zu", byPart[part] >> 10);
    std::printf("; beside them %zu KB\n", extras >> 10);
  }
  int count = int(args.size());
  benchmark::Initialize(&count, args.data());
  orv::bench::AddWithMinimum("LoadSlot", LoadSlot);
  orv::bench::AddWithMinimum("StepBackAndForth", StepBackAndForth);
  orv::bench::AddWithMinimum("100AdvancesKeepingNone", [](benchmark::State& s) { Advances(s, 0); });
  orv::bench::AddWithMinimum("100AdvancesKeepingEach", [](benchmark::State& s) { Advances(s, 500); });
  orv::bench::TimeKeeper keeper;
  benchmark::RunSpecifiedBenchmarks(&keeper);
  keeper.PrintRatios("LoadSlot", "CPU time against loading a save slot (LoadSlot = 1):");
  const double perStep = keeper.Time("StepBackAndForth") / 2;
  std::printf("one step back: %.3f ms (goal under one frame, 16.7 ms)\n", perStep / 1000.0);
  const double none = keeper.Time("100AdvancesKeepingNone"), each = keeper.Time("100AdvancesKeepingEach");
  if (none > 0)
    std::printf("an advance keeping its point takes %.2f times one keeping none (+%.3f ms each)\n", each / none,
                (each - none) / 100 / 1000.0);
  return 0;
}
