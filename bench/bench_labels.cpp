// Jumping to a label (Interpreter::JumpToLabel) in scenarios of 1,000 to 1,000,000 lines,
// against the jump in the 1,000-line scenario in the same run (goal: flat, every ratio within
// 2). The label sits at the scenario's end, the farthest a scan from the top would walk; the
// index is built at the first jump, outside the timing.
//
//   bench_labels [--benchmark_repetitions=N] [--benchmark_report_aggregates_only=true]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <filesystem>
#include <optional>
#include <string>

#include "platform/game_folder.h"
#include "script/interpreter.h"

namespace {

struct QuietHost final : orv::StepHost {
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view, std::string_view) override { return true; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  int TypeText(std::string_view, int, int) override { return 0; }
  void RepaintScreen() override {}
  bool PageMode() const override { return false; }
  void WaitMs(int32_t) override {}
  int LineAdvance() const override { return 16; }
  int32_t TextWaitMs() const override { return 0; }
  int32_t TextOriginX() const override { return 0; }
  void KeepAlive() override {}
  void Close() override {}
  bool WindowClosed() const override { return false; }
};

// Text and commands, with a label every hundred lines and the wanted one last.
std::string Scenario(int lines) {
  std::string text;
  for (int i = 0; i < lines - 1; ++i)
    text += i % 100 == 0 ? "*L" + std::to_string(i) + "\r\n" : "Some message text on line " + std::to_string(i) + "\r\n";
  return text + "*TARGET\r\n";
}

void Jump(benchmark::State& state, int lines) {
  orv::GameFolder folder(std::filesystem::temp_directory_path());
  QuietHost host;
  orv::Interpreter interpreter(folder, host);
  const std::string text = Scenario(lines);
  interpreter.UseScenarioText(text);
  interpreter.JumpToLabel("*TARGET");
  if (interpreter.scriptOffset() != int32_t(text.size())) state.SkipWithError("the label was not found");
  for (auto _ : state) {
    interpreter.JumpToLabel("*TARGET");
    benchmark::DoNotOptimize(interpreter.scriptOffset());
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int lines : {1000, 10000, 100000, 1000000})
    orv::bench::AddWithMinimum("jump/" + std::to_string(lines), [lines](benchmark::State& s) { Jump(s, lines); });
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("jump/1000", "Time / a jump in a 1,000-line scenario, same run (goal: jump/N <= 2.0)");
  benchmark::Shutdown();
  return 0;
}
