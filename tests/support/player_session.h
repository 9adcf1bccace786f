#pragma once
// A player in this process over the headless backend, driven as a headless run drives it, for
// tests that look at the parts themselves.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/player.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"

namespace orv::test {

namespace fs = std::filesystem;

class NoDiagnostics final : public Diagnostics {
 public:
  void Note(std::string_view) override {}
};

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// What a headless run gives a player, with the window's lines kept in a file.
struct Session {
  Session(const fs::path& game, const fs::path& saves, FontRenderer& fonts)
      : folder(game),
        player(PlatformServices{host, clock, folder, fonts, audio, diagnostics, speech},
               PlayerOptions{.randomSeed = 7, .saveDir = saves}) {
    clock.onAdvance = [this](uint32_t now) { audio.AdvanceTo(now); };
  }

  // The start-up, its first advance, then a click for each of `clicks` and the menu items.
  void Play(int clicks, const std::vector<std::string>& menuItems = {}) {
    player.FormCreate();
    if (player.closed()) return;
    player.Shown();
    AdvanceClock(player.StartTimerIntervalMs());
    for (const std::string& item : menuItems) player.MenuClick(item);
    for (int i = 0; i < clicks && !player.closed(); ++i) {
      player.Click();
      AdvanceClock(250);  // the wait indicator blinks, the skip timer runs
    }
  }

  void AdvanceClock(uint32_t ms) {
    const uint32_t target = clock.NowMs() + ms;
    uint32_t due = 0;
    while (!player.closed() && player.NextTimerDue(due) && int32_t(due - target) <= 0) {
      clock.AdvanceTo(due);
      player.FireDueTimers(clock.NowMs());
    }
    clock.AdvanceTo(target);
  }

  // The player, the clock and the sound device as a new run finds them; the window's lines
  // start afresh.
  void Reset() {
    player.Reset();
    clock = HeadlessClock();
    clock.onAdvance = [this](uint32_t now) { audio.AdvanceTo(now); };
    audio.Reset();
    host.CenterWindow();  // where a new window stands
    lineStart = std::ftell(out.get());
  }

  std::string Lines() {
    std::FILE* file = out.get();
    std::fflush(file);
    const long end = std::ftell(file);
    std::string text(size_t(end - lineStart), '\0');
    std::fseek(file, lineStart, SEEK_SET);
    if (!text.empty() && std::fread(text.data(), 1, text.size(), file) != text.size()) text = "(unreadable)";
    std::fseek(file, end, SEEK_SET);
    return text;
  }

  const std::unique_ptr<std::FILE, CloseFile> out{std::tmpfile()};
  long lineStart = 0;
  HeadlessClock clock;
  HeadlessHost host{out.get(), nullptr, clock};
  HeadlessAudio audio;
  NoDiagnostics diagnostics;
  NoSpeech speech;
  GameFolder folder;
  Player player;
};

}  // namespace orv::test
