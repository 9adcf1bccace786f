// Text drawing speed with a warm glyph cache: one 30-character message line of Japanese at
// size 12, drawn at once and typed one character at a time (as the game types it), against
// filling the line's cells with a colour in the same run.
//
//   bench_text [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <map>
#include <string>

#include "platform/sjis.h"
#include "platform/text/font_renderer.h"

namespace {

const std::string kLine = orv::Utf8ToCp932("「ようこそ、オルヴェインの世界へ。ここでは文字を一つずつ表示します」");
const orv::FontSpec kFont{orv::Utf8ToCp932("ＭＳ 明朝"), 12, orv::Rgb{255, 255, 255}};

std::vector<std::string> Characters(const std::string& sjis) {
  std::vector<std::string> out;
  for (size_t i = 0; i < sjis.size();) {
    const unsigned char lead = static_cast<unsigned char>(sjis[i]);
    const size_t len = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
    out.push_back(sjis.substr(i, len));
    i += len;
  }
  return out;
}

void FillCells(benchmark::State& state) {
  orv::Image image(orv::kStageWidth, orv::kStageHeight);
  const int width = int(Characters(kLine).size()) * 16;
  for (auto _ : state) {
    image.FillRect(orv::Rect{20, 360, 20 + width, 376}, orv::Rgb{1, 2, 3});
    benchmark::DoNotOptimize(image.bytes().data());
  }
}
BENCHMARK(FillCells);

void DrawLine(benchmark::State& state) {
  orv::FontRenderer fonts;
  orv::Image image(orv::kStageWidth, orv::kStageHeight);
  fonts.Draw(image, 20, 360, kLine, kFont);  // warm the cache
  for (auto _ : state) benchmark::DoNotOptimize(fonts.Draw(image, 20, 360, kLine, kFont));
}
BENCHMARK(DrawLine);

void TypeLine(benchmark::State& state) {
  orv::FontRenderer fonts;
  orv::Image image(orv::kStageWidth, orv::kStageHeight);
  const std::vector<std::string> characters = Characters(kLine);
  fonts.Draw(image, 20, 360, kLine, kFont);
  for (auto _ : state) {
    int x = 20;
    for (const std::string& c : characters) x += fonts.Draw(image, x, 360, c, kFont);
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(TypeLine);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("FillCells", "ratio to filling the line's cells:");
  benchmark::Shutdown();
  return 0;
}
