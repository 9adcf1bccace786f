// The whole window frame, stage to screen, in the desktop backend on a real display (run it
// under a virtual one: `xvfb-run -s "-screen 0 1920x1080x24" bench_window_frame`), against
// copying one 921600-byte frame in the same run. Each path of window_presenter.h, forced, at
// the window scales 1 and 2:
//
//   <path>/<scale>x/full   every stage pixel changes (a transition's last step, skip mode)
//   <path>/<scale>x/glyph  one 16 x 16 character box changes (typing)
//   <path>/<scale>x/mark   the 12 x 12 wait mark changes (its blink)
//
// "accelerated" is SDL's renderer (software OpenGL on a machine without a GPU, as here),
// "surface" the window's own pixels with only the changed rectangles sent. Times are the
// process's CPU time, all its threads (OpenGL's renderer threads too).
//
//   bench_window_frame [--benchmark_repetitions=N] [--benchmark_report_aggregates_only=true]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sdl/desktop_session.h"

namespace {

orv::Image Busy(uint8_t seed) {
  orv::Image image(orv::kStageWidth, orv::kStageHeight);
  for (int y = 0; y < orv::kStageHeight; ++y) {
    uint8_t* row = image.row(y);
    for (int x = 0; x < orv::kStageWidth * 3; ++x) row[x] = uint8_t(x * 7 + y * 3 + seed);
  }
  return image;
}

// One frame per iteration: the game presents, and the window shows it.
void Frame(benchmark::State& state, orv::PresentPath path, int scale, int changedSide) {
  orv::DesktopOptions options;
  options.scale = scale;
  options.present = path;
  options.stayOnTop = false;
  orv::DesktopSession session(options);
  std::string error;
  if (!session.Start(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  orv::SdlHost& host = session.host();
  orv::Image frames[2] = {Busy(0), Busy(0)};
  if (changedSide > 0) {
    frames[1].FillRect(orv::Rect{300, 380, 300 + changedSide, 380 + changedSide}, orv::Rgb{255, 255, 255});
  } else {
    frames[1] = Busy(101);
  }
  host.Present(frames[0]);
  host.Repaint();
  int i = 0;
  for (auto _ : state) {
    host.Present(frames[++i & 1]);
    if (host.FrameDueInMs()) host.Repaint();  // drawn now, whatever the display's pacing
    SDL_PumpEvents();
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::bench::AddWithMinimum("copy/frame", orv::bench::CopyFrame);
  for (const auto& [path, name] :
       {std::pair{orv::PresentPath::Accelerated, "accelerated"}, std::pair{orv::PresentPath::Surface, "surface"}})
    for (int scale : {1, 2})
      for (const auto& [side, what] : {std::pair{0, "full"}, std::pair{16, "glyph"}, std::pair{12, "mark"}}) {
        const std::string label = std::string(name) + "/" + std::to_string(scale) + "x/" + what;
        orv::bench::AddWithMinimum(label, [path, scale, side](benchmark::State& s) {
          Frame(s, path, scale, side);
        })->MeasureProcessCPUTime();
      }
  benchmark::Initialize(&argc, argv);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "bench_window_frame: no display (%s); run it under xvfb-run\n", SDL_GetError());
    return 0;
  }
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("copy/frame", "CPU time of a window frame / copying one 921600-byte frame, same run");
  benchmark::Shutdown();
  return 0;
}
