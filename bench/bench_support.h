#pragma once
// Shared by the benchmark programs. These machines are shared and noisy, so every program
// reports its results as ratios against a baseline measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/image.h"

namespace orv::bench {

// Prints the runs as usual and keeps each benchmark's CPU time: the least disturbed run.
// Repetitions give, best first, the "min" statistic (see AddWithMinimum), else the smallest
// repetition seen, else the median; with --benchmark_report_aggregates_only only the
// aggregates arrive, so a benchmark registered without "min" is kept by its median.
class TimeKeeper : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      int rank = -1;
      if (run.run_type == Run::RT_Iteration) rank = 2;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min") rank = 3;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") rank = 1;
      if (rank < 0) continue;
      const double time = run.GetAdjustedCPUTime();
      Kept& kept = times_[name];
      if (rank > kept.rank || (rank == kept.rank && rank == 2 && time < kept.time)) kept = Kept{time, rank};
    }
  }

  // The kept time of a benchmark, 0 when it did not run.
  double Time(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0.0 : it->second.time;
  }

  // Every other benchmark's time divided by the baseline's, under a title.
  void PrintRatios(const std::string& baseline, const char* title) const {
    const double base = Time(baseline);
    if (base <= 0) return;
    std::printf("\n%s\n", title);
    for (const auto& [name, kept] : times_)
      if (name != baseline) std::printf("  %-32s %8.2f\n", name.c_str(), kept.time / base);
  }

 private:
  struct Kept {
    double time = 0;
    int rank = -1;
  };
  std::map<std::string, Kept> times_;
};

// Registers a benchmark whose repetitions also report their minimum.
template <typename Run>
benchmark::internal::Benchmark* AddWithMinimum(const std::string& name, Run run) {
  auto minimum = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
  return benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", minimum);
}

// The baseline of the frame benchmarks: one stage-sized RGB frame copied with memcpy.
inline void CopyFrame(benchmark::State& state) {
  constexpr size_t kBytes = size_t(kStageWidth) * kStageHeight * 3;
  std::vector<uint8_t> from(kBytes, 7), to(kBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace orv::bench
