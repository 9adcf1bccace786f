// The end of a page once the message history is full (the interpreter's page end calls
// MessageHistory::Rotate, which drops the oldest page) with pages of four lines: the ring
// against moving every line down a page, as the history used to, in the same run.
//
//   bench_history [--benchmark_repetitions=N] [--benchmark_report_aggregates_only=true]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <memory>
#include <string>
#include <vector>

#include "script/message_history.h"

namespace {

const std::string kLine = "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8 a line of message text of average length";

void FillPage(orv::MessageHistory& history, int page) {
  for (int line = 0; line < 4; ++line) {
    history.Append(page, kLine);
    if (line < 3) history.NewLine(page);
  }
}

std::unique_ptr<orv::MessageHistory> FullHistory() {
  auto history = std::make_unique<orv::MessageHistory>();
  int pageIndex = 0;
  for (int page = 0; page < 300; ++page) {
    FillPage(*history, pageIndex);
    ++pageIndex;
    history->Rotate(pageIndex);
  }
  return history;
}

void RotateRing(benchmark::State& state) {
  auto history = FullHistory();
  for (auto _ : state) {
    int pageIndex = orv::kHistoryPages;
    history->Rotate(pageIndex);
    benchmark::DoNotOptimize(history.get());
  }
}

void RotateCopying(benchmark::State& state) {
  std::vector<std::vector<std::string>> pages(orv::kHistoryPages, std::vector<std::string>(orv::kHistoryLines));
  for (auto& page : pages)
    for (size_t line = 0; line < 4; ++line) page[line] = kLine;
  for (auto _ : state) {
    for (size_t i = 0; i + 1 < pages.size(); ++i)
      for (size_t line = 0; line + 1 < orv::kHistoryLines; ++line) pages[i][line] = pages[i + 1][line];
    for (size_t line = 0; line < 4; ++line) pages.back()[line] = kLine;
    benchmark::DoNotOptimize(pages.data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::bench::AddWithMinimum("rotate/ring", RotateRing);
  orv::bench::AddWithMinimum("rotate/copying", RotateCopying);
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("rotate/ring", "Time / the ring's rotation, same run (the speed-up over copying)");
  benchmark::Shutdown();
  return 0;
}
