// Finding a file whose name differs in letter case from the one on disk, in folders of 10 to
// 10,000 files, against the lookup in the 10-file folder in the same run (goal: flat, every
// ratio within 2). "listing/N" walks the folder as every such lookup used to, for comparison.
// The folders' times are set an hour back, as a game folder's are: a folder changed within
// the last moment is listed afresh on every lookup until it settles.
//
// "saved/exact" and "saved/other_case" meet the folder just written: a variable file is saved
// into the 5,000-file game folder (as saves go there by default) before every picture lookup,
// the name given in the file's own letter case or in another (goal: other_case <= 1.2 x exact,
// printed second).
//
//   bench_game_folder [--benchmark_repetitions=N] [--benchmark_report_aggregates_only=true]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/bytes.h"
#include "platform/game_folder.h"
#include "platform/write_folder.h"

namespace {

namespace fs = std::filesystem;

std::string FileName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "PIC%05d.BMP", i);
  return name;
}

// A folder of `files` small files, removed at the end of the run.
class Folder {
 public:
  explicit Folder(int files)
      : path_(fs::temp_directory_path() /
              ("orvane-bench-folder-" + std::to_string(::getpid()) + "-" + std::to_string(files))) {
    fs::create_directories(path_);
    for (int i = 0; i < files; ++i) std::ofstream(path_ / FileName(i)) << i;
    fs::last_write_time(path_, fs::file_time_type::clock::now() - std::chrono::hours(1));
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void Lookup(benchmark::State& state, int files) {
  Folder folder(files);
  orv::GameFolder game(folder.path());
  const std::string wanted = "pic" + FileName(files / 2).substr(3);  // lower case: no exact match
  if (!game.FindFile(wanted)) state.SkipWithError("not found");
  for (auto _ : state) benchmark::DoNotOptimize(game.FindFile(wanted));
}

void Listing(benchmark::State& state, int files) {
  Folder folder(files);
  const std::string wanted = "pic" + FileName(files / 2).substr(3);
  for (auto _ : state) {
    std::error_code ec;
    fs::path found;
    for (fs::directory_iterator it(folder.path(), ec), end; !ec && it != end; it.increment(ec))
      if (orv::AsciiEqualNoCase(it->path().filename().string(), wanted)) found = it->path();
    benchmark::DoNotOptimize(found);
  }
}

// A save into the game folder, then a lookup of a picture's name, as a game does it.
void LookupAfterSave(benchmark::State& state, bool otherCase) {
  constexpr int kFiles = 5000;
  Folder folder(kFiles);
  const orv::GameFolder game(folder.path());
  const orv::WriteFolder saves(game, folder.path());
  const std::string exact = FileName(kFiles / 2);
  const std::string wanted = otherCase ? "pic" + exact.substr(3) : exact;
  const orv::Bytes variables(512, 7);
  if (!game.FindFile(wanted)) state.SkipWithError("not found");
  for (auto _ : state) {
    if (!saves.Write("SAVEVAR.DAT", variables)) state.SkipWithError("cannot save");
    benchmark::DoNotOptimize(game.FindFile(wanted));
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int files : {10, 100, 1000, 10000}) {
    orv::bench::AddWithMinimum("lookup/" + std::to_string(files), [files](benchmark::State& s) { Lookup(s, files); });
    orv::bench::AddWithMinimum("listing/" + std::to_string(files), [files](benchmark::State& s) { Listing(s, files); });
  }
  orv::bench::AddWithMinimum("saved/exact", [](benchmark::State& s) { LookupAfterSave(s, false); });
  orv::bench::AddWithMinimum("saved/other_case", [](benchmark::State& s) { LookupAfterSave(s, true); });
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("lookup/10", "Time / a lookup in a folder of 10 files, same run (goal: lookup/N <= 2.0)");
  reporter.PrintRatios("saved/exact",
                       "Time / a save and a lookup in the file's own letter case, same run (goal: other_case <= 1.2)");
  benchmark::Shutdown();
  return 0;
}
