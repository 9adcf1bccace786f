// Cross-fade speed: one step of the fade over a whole 640 x 480 stage, per vector level and
// through the 1 MiB FadeTable (one lookup per byte, the table's own way), against copying
// one 921600-byte buffer in the same run. A summary of the ratios is printed at the end
// (goals: AVX2 <= 2, SSE2 <= 4).
//
//   bench_fade [--benchmark_repetitions=N] [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "graphics/blend.h"
#include "graphics/fade_table.h"

namespace {

constexpr size_t kStageBytes = size_t(orv::kStageWidth) * orv::kStageHeight * 3;

std::vector<uint8_t> Pattern(int seed) {
  std::vector<uint8_t> bytes(kStageBytes);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 31 + i / 1920 * 7 + size_t(seed));
  return bytes;
}

void Copy(benchmark::State& state) {
  const std::vector<uint8_t> source = Pattern(1);
  std::vector<uint8_t> stage(kStageBytes);
  for (auto _ : state) {
    std::memcpy(stage.data(), source.data(), kStageBytes);
    benchmark::DoNotOptimize(stage.data());
    benchmark::ClobberMemory();
  }
}

// The step number cycles through 1..15 so that the work never settles on the target.
void Step(benchmark::State& state, orv::SimdLevel level) {
  const orv::BlendKernels k = orv::KernelsFor(level);
  if (k.level != level) {
    state.SkipWithError("not supported by this processor");
    return;
  }
  std::vector<uint8_t> work = Pattern(1);
  const std::vector<uint8_t> target = Pattern(99);
  int step = 0;
  for (auto _ : state) {
    step = step % 15 + 1;
    k.crossFade(work.data(), target.data(), kStageBytes, step);
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

void Table(benchmark::State& state) {
  const orv::FadeTable table;
  std::vector<uint8_t> work = Pattern(1);
  const std::vector<uint8_t> target = Pattern(99);
  const uint8_t* entries = table.bytes().data();
  int step = 0;
  for (auto _ : state) {
    step = step % 15 + 1;
    for (size_t i = 0; i < kStageBytes; ++i)
      work[i] = entries[size_t(target[i]) * 4096 + size_t(work[i]) * 16 + size_t(step)];
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

int main(int argc, char** argv) {
  auto add = [](const std::string& name, auto run) { orv::bench::AddWithMinimum(name, run); };
  add("copy/stage", Copy);
  add("fade/table", Table);
  for (orv::SimdLevel level : {orv::SimdLevel::Scalar, orv::SimdLevel::Sse2, orv::SimdLevel::Avx2}) {
    if (orv::KernelsFor(level).level < level) continue;
    add(std::string("fade/") + orv::SimdLevelName(level), [level](benchmark::State& s) { Step(s, level); });
  }
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("copy/stage", "Cross-fade step time / one 921600-byte copy, same run (goals: AVX2 <= 2.0, SSE2 <= 4.0)");
  benchmark::Shutdown();
  return 0;
}
