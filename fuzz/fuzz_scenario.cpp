// Whole scenarios: the input is a game's scenario text, played headless for a few advances.
// Whatever the script says, the player ends with a defined result and never reads or writes
// outside its buffers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/command_line.h"
#include "app/headless_run.h"

namespace {
const std::filesystem::path& GameDir() {
  static const std::filesystem::path dir = [] {
    auto path = std::filesystem::temp_directory_path() / ("orvane-fuzz-scenario-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::ofstream(path / "init.def", std::ios::binary) << "0\r\n0\r\n0\r\n0\r\n0\r\nstory.txt\r\np.dat\r\nw.dat\r\nm.dat\r\n";
    return path;
  }();
  return dir;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  {
    std::ofstream story(GameDir() / "story.txt", std::ios::binary | std::ios::trunc);
    story.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }
  orv::CommandLine options;
  options.headless = true;
  options.gameDir = GameDir().string();
  options.untilExit = 8;
  options.maxStepLines = 20000;
  static std::FILE* sink = std::fopen("/dev/null", "w");
  orv::RunHeadless(options, sink, sink);
  return 0;
}
