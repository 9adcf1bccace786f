// Whole scenarios: the input is a game's scenario text, played headless for a few advances.
// Whatever the script says, the player ends with a defined result and never reads or writes
// outside its buffers.
//
// One player serves the whole process and is reset after every input, so that the next one
// starts as on a new player: making its 640 x 480 layers and its message history afresh cost
// far more than most scripts take to run. The fonts are loaded once too, and the game folder
// is made once, with only the scenario rewritten per input. The folder holds a few small
// pictures and sounds for the script to use (see fuzz_scenario.dict).
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

// The run's limits. A step of fifty lines is long enough for a short script's scene to be set
// up between two waits; but looping scripts are much of what a campaign keeps, and a line
// that draws a whole stage costs a good part of a millisecond here, so an endless loop must
// end soon. A script may also wait for weeks of game time (the sequencer ticks through every
// millisecond of it) or blink the window billions of times: after ten seconds of game time,
// or 150 pauses (each a character typed, a step of a transition, half a blink), the person at
// the window closes it. Each pause redraws a whole stage; 150 still type a long line or play
// several transitions out, and the campaign's slowest inputs were the ones that ran into the
// limit (with 500, about a tenth of a pass over the kept corpus went on pauses past the
// 150th).
constexpr int64_t kMaxStepLines = 50;
constexpr int kClicks = 6;
constexpr uint32_t kPatienceMs = 10'000;
constexpr int kPatiencePauses = 150;
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

class QuietDiagnostics final : public orv::Diagnostics {
 public:
  void Note(std::string_view) override {}
};

// The headless clock, with the person at the window who closes it after kPatienceMs of game
// time or kPatiencePauses waits and breaths of work that never waits; waits then return at
// once, as they do when a window is closed.
class PatientClock final : public orv::Clock {
 public:
  uint32_t NowMs() override { return headless.NowMs(); }
  void WaitMs(uint32_t ms) override {
    Pause();
    if (quit_) return;
    if (ms >= kPatienceMs - waitedMs_) {
      ms = kPatienceMs - waitedMs_;
      quit_ = true;
    }
    waitedMs_ += ms;
    headless.WaitMs(ms);
  }
  bool ButtonHeld() override { return headless.ButtonHeld(); }
  orv::LocalTime LocalNow() override { return headless.LocalNow(); }
  void KeepAlive() override { Pause(); }
  bool QuitRequested() override { return quit_; }

  // A fresh clock at a fixed date, whose every move reaches the sound device.
  void Reset(orv::HeadlessAudio& audio) {
    headless = orv::HeadlessClock();
    headless.SetLocalTime(orv::LocalTime{2004, 4, 1, 12, 0, 0});
    headless.onAdvance = [&audio](uint32_t now) { audio.AdvanceTo(now); };
    waitedMs_ = 0;
    pauses_ = 0;
    quit_ = false;
  }

  orv::HeadlessClock headless;

 private:
  void Pause() { quit_ = quit_ || ++pauses_ > kPatiencePauses; }

  uint32_t waitedMs_ = 0;
  int pauses_ = 0;
  bool quit_ = false;
};

// A folder of this process's own, on a memory file system where there is one, for the game
// folder and the folder the player writes into. The game folder never changes after the first
// input's scenario is written, and the write folder is there only while an input has written
// something: a folder that changed is listed afresh at every look-up of a missing file, and
// the player looks up a dozen at every start.
fs::path MakeFolders() {
  std::error_code ec;
  const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  const fs::path root = base / ("orvane-fuzz-scenario-" + std::to_string(getpid()));
  const fs::path game = root / "game";
  fs::create_directories(game);
  std::ofstream(game / "init.def", std::ios::binary) << kInitDef;
  WriteFile(game / "bg.bmp", Bmp(12, 9));
  WriteFile(game / "ch.bmp", Bmp(5, 7));
  WriteFile(game / "se.wav", Wave());
  WriteFile(game / "bgm.mid", kSong);
  return root;
}

// The folders and everything the players are built on, made once. One player writes its
// settings, slots and variable files into a folder; the other's folder cannot be made (its
// parent is a file), so its writes fail at once: closing a game writes the settings, which
// would otherwise cost every input more than a short script takes.
struct Process {
  Process() { clock.Reset(audio); }
  ~Process() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  void WriteScenario(const uint8_t* data, size_t size) {
    std::ofstream story(gameDir / "story.txt", std::ios::binary | std::ios::trunc);
    story.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  }

  // The player, the window, the clock and the sound device as a new run finds them. This
  // runs after each input rather than before the next, so that what an input allocates is
  // freed while it runs: only then does the fuzzer's leak check stay quiet.
  void Reset(orv::Player& player) {
    player.Reset();
    std::error_code ec;
    fs::remove_all(saveDir, ec);
    clock.Reset(audio);
    audio.Reset();
    // The one thing of the window a game reads back, through the settings it writes: where a
    // new window stands.
    host.CenterWindow();
  }

  const fs::path root = MakeFolders();
  const fs::path gameDir = root / "game";
  const fs::path saveDir = root / "saves";
  const fs::path noSaveDir = gameDir / "init.def" / "saves";
  std::FILE* const sink = std::fopen("/dev/null", "w");
  orv::FontRenderer fonts;
  QuietDiagnostics diagnostics;
  PatientClock clock;
  orv::HeadlessHost host{sink, nullptr, clock};
  orv::HeadlessAudio audio;
  const orv::GameFolder folder{gameDir};
  // Speech on, so that whatever the script types goes through the spoken text's decoding too.
  orv::NoSpeech speech;
  // Two megabytes and more each: too large for the stack.
  const std::unique_ptr<orv::Player> players[2] = {MakePlayer(noSaveDir), MakePlayer(saveDir)};

 private:
  std::unique_ptr<orv::Player> MakePlayer(const fs::path& writeFolder) {
    return std::make_unique<orv::Player>(
        orv::PlatformServices{host, clock, folder, fonts, audio, diagnostics, speech},
        orv::PlayerOptions{.maxStepLines = kMaxStepLines, .randomSeed = 1, .saveDir = writeFolder, .speak = true});
  }
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
  // The length chooses how the game is played, as fuzz_script does. Typing and transitions
  // step by step cost the most, and an eighth of the inputs play them out: the others have
  // page mode on with the fastest messages, or the left button held down, or both. One in
  // eight can write files (switching players costs the caches more than writing does).
  const bool pageMode = (size & 1) != 0;
  const bool buttonHeld = (size & 2) != 0 || (size & 7) == 4;
  orv::Player& player = *process.players[(size & 7) == 7 ? 1 : 0];
  player.FormCreate();
  if (!player.closed() && pageMode) {
    player.MenuClick("P1");
    player.MenuClick("vol1");
  }
  process.clock.headless.SetButtonHeld(buttonHeld);
  if (!player.closed()) {
    player.Shown();
    RunFor(player, process.clock.headless, player.StartTimerIntervalMs());
    for (int click = 0; click < kClicks && !player.closed(); ++click) player.Click();
  }
  process.Reset(player);
  return 0;
}
