// A transition on the desktop against its nominal time: effect 13 (a wipe from top to bottom,
// 480 steps) at speed 1 should take 480 ms however slow the display, since frames are shown
// at most once per refresh, only what changed travels to the texture, and each step's pause
// absorbs the time the frames took. Runs in a window at 2x and in full screen (sharp
// bilinear scaling), on whatever display SDL finds: a real one, Xvfb, or SDL's offscreen
// driver when there is none. The wall time is what counts here, not the processor's.
//
//   xvfb-run -s "-screen 0 1920x1080x24" bench_desktop_effect [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "graphics/transitions.h"
#include "platform/sdl/desktop_session.h"

namespace {

constexpr int kEffect = 13;
constexpr int kSteps = 480;
constexpr int kSpeedMs = 1;

// The effect's canvas: the window's surface, shown through the host, paused by the clock.
class WindowCanvas final : public orv::EffectCanvas {
 public:
  WindowCanvas(orv::SdlHost& host, orv::SdlClock& clock)
      : surface_(orv::kStageWidth, orv::kStageHeight), host_(host), clock_(clock) {}
  orv::Image& Surface() override { return surface_; }
  void Present() override { host_.Present(surface_); }
  void Wait(int32_t ms) override {
    if (ms > 0) clock_.WaitMs(uint32_t(ms));
  }
  bool ButtonHeld() override { return false; }

 private:
  orv::Image surface_;
  orv::SdlHost& host_;
  orv::SdlClock& clock_;
};

orv::Image Picture(int seed) {
  orv::Image image(orv::kStageWidth, orv::kStageHeight);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.SetPixel(x, y, orv::Rgb{uint8_t(x + seed), uint8_t(y * seed), uint8_t((x ^ y) + seed)});
  return image;
}

void Transition(benchmark::State& state, bool fullScreen) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  orv::DesktopSession session({".", 2});
  std::string error;
  if (!session.Start(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  session.host().SetFullScreen(fullScreen);
  WindowCanvas canvas(session.host(), session.clock());
  const orv::Image pictures[2] = {Picture(3), Picture(101)};
  int next = 0;
  double ratioSum = 0;
  const uint64_t framesBefore = session.host().FramesDrawn();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    orv::RunTransition(canvas, kEffect, kSpeedMs, pictures[next]);
    session.host().Repaint();  // the last frame, as the game's present after an effect
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    ratioSum += seconds * 1000.0 / (kSteps * kSpeedMs);
    next ^= 1;
  }
  const double runs = double(state.iterations());
  state.counters["nominal_ms"] = kSteps * kSpeedMs;
  state.counters["time/nominal"] = ratioSum / runs;
  state.counters["frames"] = double(session.host().FramesDrawn() - framesBefore) / runs;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("effect13_speed1/window", Transition, false)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5);
  benchmark::RegisterBenchmark("effect13_speed1/fullscreen", Transition, true)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\ntime/nominal is the effect's wall time over its 480 x 1 ms; within 1.10 is on time.\n");
  benchmark::Shutdown();
  return 0;
}
