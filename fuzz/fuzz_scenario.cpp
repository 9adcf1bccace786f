// Whole scenarios: the input is a game's scenario text, played headless for a few advances.
// Whatever the script says, the player ends with a defined result and never reads or writes
// outside its buffers.
//
// The player is built afresh for every input, as a headless run builds it, but without what
// costs the most and does not depend on the input: the fonts are loaded once per process and
// the game folder (on a memory file system where there is one) is made once, with only the
// scenario rewritten per input. The folder holds a few small pictures and sounds for the
// script to use (see fuzz_scenario.dict).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "app/player.h"
#include "platform/diagnostics.h"
#include "platform/game_folder.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "platform/text/font_renderer.h"

namespace {
namespace fs = std::filesystem;

// Short enough that an endless loop ends each advance within a millisecond or two, long
// enough for every short script to run its course.
constexpr int64_t kMaxStepLines = 1000;
constexpr int kClicks = 6;
constexpr size_t kMaxScenarioBytes = 4096;
constexpr std::string_view kInitDef = "0\r\n0\r\n0\r\n0\r\n0\r\nstory.txt\r\np.dat\r\nw.dat\r\nm.dat\r\n";

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// A 24-bit BMP in a pattern of colours, magenta (the characters' transparent key) included.
Bytes Bmp(int width, int height) {
  const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
  Bytes file{'B', 'M'};
  Put(file, 54 + stride * height, 4);
  Put(file, 0, 4);
  Put(file, 54, 4);
  for (uint32_t field : {40u, uint32_t(width), uint32_t(height)}) Put(file, field, 4);
  Put(file, 1, 2);
  Put(file, 24, 2);
  for (int i = 0; i < 6; ++i) Put(file, 0, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool key = (x + y) % 3 == 0;
      file.insert(file.end(), {uint8_t(key ? 255 : x * 40), uint8_t(key ? 0 : y * 40), uint8_t(key ? 255 : 90)});
    }
    file.resize(file.size() + stride - width * 3);
  }
  return file;
}

// A tenth of a second of 8-bit mono sound.
Bytes Wave() {
  Bytes file{'R', 'I', 'F', 'F'};
  Put(file, 36 + 800, 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(file, 16, 4);    // format chunk size
  Put(file, 1, 2);     // PCM
  Put(file, 1, 2);     // mono
  Put(file, 8000, 4);  // samples per second
  Put(file, 8000, 4);  // bytes per second
  Put(file, 1, 2);     // bytes per sample
  Put(file, 8, 2);     // bits per sample
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  Put(file, 800, 4);
  for (int i = 0; i < 800; ++i) file.push_back(uint8_t(128 + (i % 16) * 4));
  return file;
}

// One note on one channel, with a program change and a controller.
const Bytes kSong{0x4d, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x60, 0x4d,
                  0x54, 0x72, 0x6b, 0x00, 0x00, 0x00, 0x16, 0x00, 0xc0, 0x05, 0x00, 0x90, 0x3c, 0x64, 0x60,
                  0x3c, 0x00, 0x00, 0xb0, 0x07, 0x78, 0x30, 0xe0, 0x00, 0x40, 0x00, 0xff, 0x2f, 0x00};

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// What a scenario finds besides itself.
bool GameFile(const fs::path& name) {
  for (const char* file : {"init.def", "bg.bmp", "ch.bmp", "se.wav", "bgm.mid"})
    if (name == file) return true;
  return false;
}

class QuietDiagnostics final : public orv::Diagnostics {
 public:
  void Note(std::string_view) override {}
};

struct Process {
  Process() {
    const fs::path shm("/dev/shm");
    std::error_code ec;
    const fs::path base = fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
    gameDir = base / ("orvane-fuzz-scenario-" + std::to_string(getpid()));
    fs::create_directories(gameDir);
    std::ofstream(gameDir / "init.def", std::ios::binary) << kInitDef;
    WriteFile(gameDir / "bg.bmp", Bmp(12, 9));
    WriteFile(gameDir / "ch.bmp", Bmp(5, 7));
    WriteFile(gameDir / "se.wav", Wave());
    WriteFile(gameDir / "bgm.mid", kSong);
    sink = std::fopen("/dev/null", "w");
  }
  ~Process() {
    std::error_code ec;
    fs::remove_all(gameDir, ec);
  }

  // Leaves the folder as the first input found it, with the new scenario.
  void WriteScenario(const uint8_t* data, size_t size) {
    for (const auto& entry : fs::directory_iterator(gameDir))
      if (!GameFile(entry.path().filename())) fs::remove_all(entry.path());
    std::ofstream story(gameDir / "story.txt", std::ios::binary | std::ios::trunc);
    story.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }

  fs::path gameDir;
  std::FILE* sink = nullptr;
  orv::FontRenderer fonts;
  QuietDiagnostics diagnostics;
};

// Lets `ms` of clock time pass, firing the window's timers as they fall due.
void RunFor(orv::Player& player, orv::HeadlessClock& clock, uint32_t ms) {
  const uint32_t target = clock.NowMs() + ms;
  while (!player.closed()) {
    uint32_t due = 0;
    if (!player.NextTimerDue(due) || int32_t(due - target) > 0) {
      clock.AdvanceTo(target);
      return;
    }
    clock.AdvanceTo(due);
    player.FireDueTimers(clock.NowMs());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxScenarioBytes) return 0;
  static Process process;
  process.WriteScenario(data, size);

  orv::HeadlessClock clock;
  orv::HeadlessHost host(process.sink, nullptr, clock);
  orv::HeadlessAudio audio;
  clock.onAdvance = [&audio](uint32_t now) { audio.AdvanceTo(now); };
  const orv::GameFolder folder(process.gameDir);
  // Speech on, so that whatever the script types goes through the spoken text's decoding too.
  orv::NoSpeech speech;
  // Two megabytes and more: too large for the stack.
  const auto owned = std::make_unique<orv::Player>(
      orv::PlatformServices{host, clock, folder, process.fonts, audio, process.diagnostics, speech},
      orv::PlayerOptions{.maxStepLines = kMaxStepLines, .randomSeed = 1, .speak = true});
  orv::Player& player = *owned;
  player.FormCreate();
  if (player.closed()) return 0;
  player.Shown();
  RunFor(player, clock, player.StartTimerIntervalMs());
  for (int click = 0; click < kClicks && !player.closed(); ++click) player.Click();
  return 0;
}
