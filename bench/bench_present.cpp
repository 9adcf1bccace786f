// Presenting the stage: Stage::PresentStage (the box tint over the stage, the message text
// over that, the result onto the window) against copying one 921600-byte frame in the same
// run, with its parts alone and the way they were done before, for comparison.
//
//   present/stage      Stage::PresentStage with three lines of text in a 600 x 130 box, the
//                      stage unchanged since the last present (a new page over the same picture)
//   present/new_stage  the same with a different stage every time (skip mode: no transition
//                      has drawn it, so every row of every layer changes)
//   present/before     the former sequence: four full-frame copies, the box tinted one byte
//                      at a time, every coverage byte of the text layer tested
//   tint/box           Stage::TintMessageBox alone (one frame copy and the tint)
//   tint/scalar_box    the same with the tint one byte at a time
//   tint/kernel_*      the tint of the box alone, in each instruction set's form
//   text/draw_over     TextLayer::DrawOver alone
//   text/full_scan     the same testing all 307200 coverage bytes
//   text/kernel_*      the blend of the rows holding text, whole rows, in each form
//
// A summary of the ratios to the copy is printed at the end (goal: both presents <= 3).
//
//   bench_present [--benchmark_repetitions=N] [--benchmark_report_aggregates_only=true]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "graphics/blend.h"
#include "graphics/stage.h"
#include "persist/scene_state.h"
#include "platform/game_folder.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "script/dialogs.h"

namespace {

using orv::Image;
using orv::Rgb;
constexpr size_t kFrameBytes = size_t(orv::kStageWidth) * orv::kStageHeight * 3;
const Rgb kTextColor{255, 255, 255};

struct QuietDialogs final : orv::Dialogs {
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view, std::string_view) override { return true; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

// A stage as a game shows a message: a busy picture, a tinted box and three lines of text.
struct Rig {
  orv::HeadlessClock clock;
  orv::HeadlessHost host{nullptr, nullptr, clock};
  orv::GameFolder folder{std::filesystem::temp_directory_path()};
  orv::FontRenderer fonts;
  QuietDialogs dialogs;
  orv::SceneState scene;
  orv::Stage stage{host, clock, fonts, folder, scene, dialogs};

  Rig() {
    Image pattern(orv::kStageWidth, orv::kStageHeight);
    for (int y = 0; y < orv::kStageHeight; ++y)
      for (int x = 0; x < orv::kStageWidth; ++x) pattern.SetPixel(x, y, Rgb{uint8_t(x), uint8_t(y), uint8_t(x ^ y)});
    ShowOnStage(pattern);
    scene.boxLeft = 20;
    scene.boxTop = 340;
    scene.boxRight = 620;
    scene.boxBottom = 470;
    scene.boxAlpha = 128;
    scene.boxRed = 0;
    scene.boxGreen = 0;
    scene.boxBlue = 64;
    const orv::FontSpec font{"", 16, kTextColor};
    // "あいうえおかきくけこ" three times a line, in Shift-JIS.
    std::string line;
    for (int i = 0; i < 30; ++i) line += std::string{char(0x82), char(0xA0 + 2 * (i % 10))};
    for (int row = 0; row < 3; ++row) stage.TypeText(line, 40, 360 + row * 32, font, 0, true);
  }

  // The stage layer becomes `picture`; the others stay as they are.
  void ShowOnStage(const Image& picture) {
    stage.PutBackLayers(stage.BackgroundLayer(), picture, stage.TintLayer(), stage.ScreenLayer(), stage.WindowPicture(),
                        stage.TextOnScreen());
  }
};

void PresentStage(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) {
    rig.stage.PresentStage();
    benchmark::DoNotOptimize(rig.stage.WindowPicture().bytes().data());
  }
}

void PresentNewStage(benchmark::State& state) {
  Rig rig;
  Image pictures[2] = {rig.stage.StageLayer(), rig.stage.StageLayer()};
  for (uint8_t& b : pictures[1].bytes()) b = uint8_t(~b);
  size_t next = 1;
  for (auto _ : state) {
    // Only the present is timed: the stage changing under it is the case measured.
    state.PauseTiming();
    rig.ShowOnStage(pictures[next]);
    next ^= 1;
    state.ResumeTiming();
    rig.stage.PresentStage();
    benchmark::DoNotOptimize(rig.stage.WindowPicture().bytes().data());
  }
}

// --- the former ways, for comparison ---

void ScalarTint(Image& image, orv::Rect box, const orv::SceneState& s) {
  const int target[3] = {s.boxBlue, s.boxGreen, s.boxRed};
  for (int y = box.top; y < box.bottom; ++y) {
    uint8_t* p = image.row(y) + size_t(box.left) * 3;
    for (int x = box.left; x < box.right; ++x)
      for (int c = 0; c < 3; ++c, ++p) *p = uint8_t(((target[c] - *p) * int(s.boxAlpha) + *p * 256) >> 8);
  }
}

// The text layer's coverage as the former blend read it: every byte tested.
struct FlatText {
  std::vector<uint8_t> coverage;
  Image color{orv::kStageWidth, orv::kStageHeight};
  explicit FlatText(const orv::TextLayer& layer) {
    for (int y = 0; y < layer.height(); ++y)
      for (int x = 0; x < layer.width(); ++x) coverage.push_back(layer.CoverageAt(x, y));
    color.Fill(kTextColor);
  }
  void DrawOver(Image& dst) const {
    for (int y = 0; y < dst.height(); ++y) {
      const uint8_t* cov = coverage.data() + size_t(y) * orv::kStageWidth;
      for (int x = 0; x < dst.width(); ++x)
        if (cov[x]) orv::BlendPixel(dst, x, y, color.Pixel(x, y), cov[x]);
    }
  }
};

void PresentBefore(benchmark::State& state) {
  Rig rig;
  const FlatText text(rig.stage.TextOnScreen());
  const orv::Rect box = rig.stage.MessageBox();
  // The former steps on layers of their own, of the same sizes and contents.
  const Image& stageLayer = rig.stage.StageLayer();
  Image screen = rig.stage.ScreenLayer(), tint = rig.stage.TintLayer(), window = rig.stage.WindowPicture();
  for (auto _ : state) {
    orv::CopyImage(screen, stageLayer);
    orv::CopyImage(tint, screen);
    ScalarTint(tint, box, rig.scene);
    orv::CopySameRect(screen, tint, box);
    text.DrawOver(screen);
    orv::CopyImage(window, screen);
    rig.host.Present(window);
    benchmark::DoNotOptimize(window.bytes().data());
  }
}

void TintBox(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) {
    rig.stage.TintMessageBox(rig.scene.boxAlpha, rig.scene.boxRed, rig.scene.boxGreen, rig.scene.boxBlue);
    benchmark::DoNotOptimize(rig.stage.TintLayer().bytes().data());
  }
}

void TintBoxScalar(benchmark::State& state) {
  Rig rig;
  orv::Stage& s = rig.stage;
  Image screen = s.ScreenLayer(), tint = s.TintLayer();
  for (auto _ : state) {
    orv::CopyImage(tint, screen);
    ScalarTint(tint, s.MessageBox(), rig.scene);
    orv::CopySameRect(screen, tint, s.MessageBox());
    benchmark::DoNotOptimize(tint.bytes().data());
  }
}

// The tint kernel alone over the box, at one instruction-set level.
void TintKernel(benchmark::State& state, orv::SimdLevel level) {
  Rig rig;
  orv::Stage& s = rig.stage;
  const orv::BlendKernels kernels = orv::KernelsFor(level);
  const orv::Rect box = s.MessageBox();
  const orv::BoxTint tint{rig.scene.boxAlpha, rig.scene.boxBlue, rig.scene.boxGreen, rig.scene.boxRed};
  const Image& stageLayer = s.StageLayer();
  Image tinted = s.TintLayer();
  for (auto _ : state) {
    for (int y = box.top; y < box.bottom; ++y)
      orv::TintPixels(stageLayer.row(y) + size_t(box.left) * 3, tinted.row(y) + size_t(box.left) * 3, box.Width(), tint,
                      kernels);
    benchmark::DoNotOptimize(tinted.bytes().data());
  }
}

// The text blend alone over the text's rows, in one of its forms (0 the plain loop).
void TextKernel(benchmark::State& state, size_t form) {
  Rig rig;
  const orv::TextBlendKernel blend = orv::TextBlendKernels()[form];
  const orv::TextLayer& text = rig.stage.TextOnScreen();
  Image screen = rig.stage.ScreenLayer();
  std::vector<uint8_t> color(kFrameBytes), coverage(kFrameBytes);
  for (int y = 0; y < text.height(); ++y)
    for (int x = 0; x < text.width(); ++x) {
      const size_t at = (size_t(y) * orv::kStageWidth + size_t(x)) * 3;
      coverage[at] = coverage[at + 1] = coverage[at + 2] = text.CoverageAt(x, y);
      color[at] = color[at + 1] = color[at + 2] = 255;
    }
  for (auto _ : state) {
    for (int y = 0; y < text.height(); ++y)
      if (text.RowHasText(y)) {
        const size_t at = size_t(y) * screen.stride();
        blend(screen.row(y), color.data() + at, coverage.data() + at, screen.stride());
      }
    benchmark::DoNotOptimize(screen.bytes().data());
  }
}

void TextDrawOver(benchmark::State& state) {
  Rig rig;
  Image screen = rig.stage.ScreenLayer();
  for (auto _ : state) {
    rig.stage.TextOnScreen().DrawOver(screen);
    benchmark::DoNotOptimize(screen.bytes().data());
  }
}

void TextFullScan(benchmark::State& state) {
  Rig rig;
  const FlatText text(rig.stage.TextOnScreen());
  Image screen = rig.stage.ScreenLayer();
  for (auto _ : state) {
    text.DrawOver(screen);
    benchmark::DoNotOptimize(screen.bytes().data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::bench::AddWithMinimum("copy/frame", orv::bench::CopyFrame);
  orv::bench::AddWithMinimum("present/stage", PresentStage);
  orv::bench::AddWithMinimum("present/new_stage", PresentNewStage);
  orv::bench::AddWithMinimum("present/before", PresentBefore);
  orv::bench::AddWithMinimum("tint/box", TintBox);
  orv::bench::AddWithMinimum("tint/scalar_box", TintBoxScalar);
  for (orv::SimdLevel level : {orv::SimdLevel::Scalar, orv::SimdLevel::Sse2, orv::SimdLevel::Avx2})
    if (orv::KernelsFor(level).level == level)
      orv::bench::AddWithMinimum(std::string("tint/kernel_") + orv::SimdLevelName(level),
                                 [level](benchmark::State& state) { TintKernel(state, level); });
  const char* const textForms[] = {"scalar", "SSE2", "AVX2"};
  for (size_t form = 0; form < orv::TextBlendKernels().size() && form < 3; ++form)
    orv::bench::AddWithMinimum(std::string("text/kernel_") + textForms[form],
                               [form](benchmark::State& state) { TextKernel(state, form); });
  orv::bench::AddWithMinimum("text/draw_over", TextDrawOver);
  orv::bench::AddWithMinimum("text/full_scan", TextFullScan);
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("copy/frame",
                       "Time / copying one 921600-byte frame, same run (goal: present/stage and present/new_stage <= 3.0)");
  benchmark::Shutdown();
  return 0;
}
