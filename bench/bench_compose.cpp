// Stage composition speed: a background and ten 300 x 400 characters, all masked or all
// colour-keyed, against copying eleven 921600-byte buffers (the background and ten full
// stages) in the same run.
//
//   form/...      Stage::ComposeStage over a game folder whose picture package holds the
//                 pictures; the decoded-picture cache is warm, so this is the cache lookups,
//                 the fresh work buffer and the blending.
//   kernels/...   the same drawing with the pictures in hand and a reused work buffer, once
//                 per vector level the processor has that brings a kernel of its own.
//
// A summary of the ratios to the copy is printed at the end (goals: masked <= 2, colour-keyed
// <= 1.3).
//
//   bench_compose [--benchmark_repetitions=N] [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "graphics/stage.h"
#include "platform/game_folder.h"
#include "persist/scene_state.h"
#include "script/dialogs.h"
#include "graphics/blend.h"
#include "platform/audio/midi_output.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "platform/image_files.h"
#include "script/package_file.h"

namespace {

using orv::Image;
using orv::Rgb;
namespace fs = std::filesystem;

constexpr int kCharacters = 10;
constexpr int kCharWidth = 300, kCharHeight = 400;
constexpr size_t kStageBytes = size_t(orv::kStageWidth) * orv::kStageHeight * 3;
const Rgb kKey{0, 255, 0};

// How much of a character covers its pixel: an upright ellipse (about 60 % of the picture)
// with a 3-pixel soft edge, transparent around it, as a standing figure is.
int Coverage(int x, int y) {
  const double dx = (x - kCharWidth / 2.0) / 120.0, dy = (y - kCharHeight / 2.0) / 190.0;
  const double inside = (1.0 - std::sqrt(dx * dx + dy * dy)) * 120.0;  // pixels from the edge
  return inside >= 3 ? 255 : inside <= 0 ? 0 : int(inside * 85);
}

Rgb Shade(int seed, int x, int y) { return Rgb{uint8_t(x * 7 + seed * 40), uint8_t(y * 3 + seed), uint8_t(x ^ y)}; }

Image MaskedCharacter(int seed) {
  Image picture(2 * kCharWidth, kCharHeight);
  for (int y = 0; y < kCharHeight; ++y)
    for (int x = 0; x < kCharWidth; ++x) {
      const uint8_t m = uint8_t(255 - Coverage(x, y));
      picture.SetPixel(x, y, Shade(seed, x, y));
      picture.SetPixel(kCharWidth + x, y, Rgb{m, m, m});
    }
  return picture;
}

Image KeyedCharacter(int seed) {
  Image picture(kCharWidth, kCharHeight);
  for (int y = 0; y < kCharHeight; ++y)
    for (int x = 0; x < kCharWidth; ++x) picture.SetPixel(x, y, Coverage(x, y) >= 128 ? Shade(seed, x, y) : kKey);
  return picture;
}

Image Background() {
  Image picture(orv::kStageWidth, orv::kStageHeight);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.SetPixel(x, y, Rgb{uint8_t(x), uint8_t(y), uint8_t(x + y)});
  return picture;
}

int CharX(int slot) { return 34 * slot; }
int CharY(int slot) { return 40 + 4 * slot; }

struct Pictures {
  Image background = Background();
  std::vector<Image> masked, keyed;
  Pictures() {
    for (int i = 0; i < kCharacters; ++i) {
      masked.push_back(MaskedCharacter(i));
      keyed.push_back(KeyedCharacter(i));
    }
  }
};

const Pictures& ThePictures() {
  static const Pictures pictures;
  return pictures;
}

// --- baseline ---

void CopyEleven(benchmark::State& state) {
  std::vector<std::vector<uint8_t>> sources(11, std::vector<uint8_t>(kStageBytes, 7));
  std::vector<uint8_t> stage(kStageBytes);
  for (auto _ : state) {
    for (const auto& source : sources) std::memcpy(stage.data(), source.data(), kStageBytes);
    benchmark::DoNotOptimize(stage.data());
    benchmark::ClobberMemory();
  }
}

// --- the drawing alone ---

void Kernels(benchmark::State& state, bool masked, orv::SimdLevel level) {
  const orv::BlendKernels k = orv::KernelsFor(level);
  if (k.level != level) {
    state.SkipWithError("not supported by this processor");
    return;
  }
  const Pictures& p = ThePictures();
  Image work(orv::kStageWidth, orv::kStageHeight);
  for (auto _ : state) {
    std::memcpy(work.bytes().data(), p.background.bytes().data(), kStageBytes);
    for (int i = 0; i < kCharacters; ++i) {
      if (masked)
        orv::PasteMasked(work, p.masked[size_t(i)], CharX(i), CharY(i), k);
      else
        orv::PasteColorKeyed(work, p.keyed[size_t(i)], CharX(i), CharY(i), k);
    }
    benchmark::DoNotOptimize(work.bytes().data());
    benchmark::ClobberMemory();
  }
}

// --- the whole of ComposeStage ---


// A game folder whose picture package holds the background and both sets of characters.
class BenchGame {
 public:
  BenchGame() {
    char pattern[] = "/tmp/orvane-bench-compose-XXXXXX";
    dir_ = mkdtemp(pattern) ? fs::path(pattern) : fs::temp_directory_path();
    const Pictures& p = ThePictures();
    std::vector<orv::PackageMember> members;
    members.push_back({"BG.BMP", orv::EncodeBmp24(p.background)});
    for (int i = 0; i < kCharacters; ++i) {
      members.push_back({"M" + std::to_string(i) + ".BMP", orv::EncodeBmp24(p.masked[size_t(i)])});
      members.push_back({"K" + std::to_string(i) + ".BMP", orv::EncodeBmp24(p.keyed[size_t(i)])});
    }
    const orv::Bytes package = orv::BuildPackage(members);
    std::ofstream(dir_ / "pic.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(package.data()), std::streamsize(package.size()));
  }
  ~BenchGame() {
    std::error_code ec;
    if (dir_.filename().string().rfind("orvane-bench-compose-", 0) == 0) fs::remove_all(dir_, ec);
  }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

struct QuietDialogs final : orv::Dialogs {
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view, std::string_view) override { return true; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

void Form(benchmark::State& state, bool masked) {
  BenchGame game;
  orv::HeadlessClock clock;
  orv::HeadlessHost host(stdout, nullptr, clock);
  orv::GameFolder folder(game.dir());
  orv::FontRenderer fonts;
  QuietDialogs dialogs;
  orv::SceneState scene;
  orv::Stage stage(host, clock, fonts, folder, scene, dialogs);
  stage.UsePicturePackage("pic.dat");
  scene.backgroundName.Set("bg.bmp");
  if (!stage.LoadBackground()) state.SkipWithError("no background");
  for (int i = 0; i < kCharacters; ++i) {
    const size_t s = size_t(i);
    scene.charName[s].Set((masked ? "m" : "k") + std::to_string(i) + ".bmp");
    scene.charShown[s] = 1;
    scene.charMode[s] = masked ? 2 : 1;
    scene.charX[s] = CharX(i);
    scene.charY[s] = CharY(i);
  }
  if (!stage.ComposeStage(false)) state.SkipWithError("a picture did not load");
  for (auto _ : state) {
    stage.ComposeStage(false);
    benchmark::DoNotOptimize(stage.StageLayer().bytes().data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  auto add = [](const std::string& name, auto run) { orv::bench::AddWithMinimum(name, run); };
  add("copy/eleven_stages", CopyEleven);
  for (bool masked : {true, false}) {
    const std::string mode = masked ? "masked" : "keyed";
    add("form/" + mode, [masked](benchmark::State& s) { Form(s, masked); });
    orv::BlendKernels below;
    for (orv::SimdLevel level :
         {orv::SimdLevel::Scalar, orv::SimdLevel::Sse2, orv::SimdLevel::Ssse3, orv::SimdLevel::Avx2}) {
      const orv::BlendKernels k = orv::KernelsFor(level);
      if (k.level != level) continue;
      // A level with no kernel of its own for this drawing runs the one below it: timing it
      // again would only show the noise between two runs of the same code.
      const bool same = masked ? k.blendMasked == below.blendMasked : k.pasteKeyed == below.pasteKeyed;
      below = k;
      if (same) continue;
      add("kernels/" + mode + "/" + orv::SimdLevelName(level),
          [masked, level](benchmark::State& s) { Kernels(s, masked, level); });
    }
  }
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("copy/eleven_stages",
                       "Composition time / copying eleven 921600-byte buffers, same run (goals: masked <= 2.0, "
                       "colour-keyed <= 1.3)");
  benchmark::Shutdown();
  return 0;
}
