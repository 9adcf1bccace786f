// The browser's composition root, in place of the desktop's: the same window, clock and main
// loop (SDL draws on the page's canvas), with the page's sound, speech and storage. The page
// puts the game at the folder it names and keeps saves and settings in a folder it stores in
// IndexedDB (--save-dir, --config); every loop turn that follows a write waits until the write
// is stored, so closing the tab right after a save loses nothing.
#include <cstdio>
#include <filesystem>

#include "app/desktop_run.h"
#include "app/command_line.h"
#include "app/game_check.h"
#include "app/player.h"
#include "app/settings_session.h"
#include "platform/sdl/desktop_session.h"
#include "platform/sjis.h"
#include "platform/web/page_bridge.h"
#include "platform/web/page_controls.h"
#include "platform/web/page_text.h"
#include "platform/web/web_audio.h"
#include "platform/web/web_speech.h"

namespace orv {

namespace {

// Hands the game's events through; between events the sound's time runs on, a changed setting
// is written (a tab has no exit to write it at), and written saves and settings are stored
// before the game goes on.
class BrowserGame final : public GameEventsRelay {
 public:
  BrowserGame(Player& game, WebAudio& audio, Clock& clock, SettingsSession& settings, PageControls& controls)
      : GameEventsRelay(game),
        game_(game),
        audio_(audio),
        clock_(clock),
        settings_(settings),
        controls_(controls) {}
  // The desktop's rule that drops input which came while the game was busy is not yet right
  // in the browser (it refused the page tests' clicks on a settled screen): until it is, the
  // page's input is taken as it comes, as it always was here.
  bool TakesInputFrom(uint32_t) const override { return true; }
  bool NextTimerDue(uint32_t& dueMs) override {
    audio_.Pump(clock_.NowMs());
    settings_.GatherFrom(game_, audio_);
    settings_.SaveIfChanged(stderr);
    orvane_web_settle_saves();
    // The page hears that the game runs once its start-up writes are stored too.
    if (!toldRunning_) orvane_web_game_state("running");
    toldRunning_ = true;
    return GameEventsRelay::NextTimerDue(dueMs);
  }
  // The page's finger-sized menu: its choice is carried out as the bar's click would be, at the
  // point of the loop where the game is busy and its frame is flushed after, as for an event.
  void FireDueTimers(uint32_t nowMs) override {
    if (std::optional<std::string> chosen = controls_.TakeMenuChoice()) MenuClick(*chosen);
    GameEventsRelay::FireDueTimers(nowMs);
  }

 private:
  Player& game_;
  WebAudio& audio_;
  Clock& clock_;
  SettingsSession& settings_;
  PageControls& controls_;
  bool toldRunning_ = false;
};

}  // namespace

int RunDesktop(const CommandLine& options) {
  SettingsSession settings = SettingsSession::Open(
      options.configFile.empty() ? std::nullopt : std::optional<std::filesystem::path>(options.configFile), stderr);
  const std::string& scalingName =
      !options.scaling.empty() ? options.scaling : settings.settings().scaling.value_or("");
  DesktopOptions desktop;
  desktop.gameRoot = options.gameDir;
  desktop.scale = options.scale;
  desktop.scaling = ScalingByName(scalingName);
  DesktopSession session(desktop);
  if (Result<void> folder = CheckGameFolder(options.gameDir); !folder) {
    std::fprintf(stderr, "orvane: %s\n", folder.error().message.c_str());
    orvane_web_game_state("no-game");
    return 2;
  }
  std::string error;
  if (!session.Start(error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    orvane_web_game_state("failed");
    return 1;
  }
  GameFolder folder(options.gameDir);
  WebAudio audio(session.clock().NowMs());
  int result = 0;
  {
    StreamDiagnostics diagnostics(stderr);
    WebSpeech speech;
    PageText pageText;  // outlives the game that sends to it
    PageControls controls(session.host());
    Player game(PlatformServices{controls, session.clock(), folder, session.fonts(), audio, diagnostics, speech},
                PlayerOptionsFor(options));
    settings.ApplyTo(game, audio);
    game.SendTextTo(pageText);
    game.FormCreate();
    if (game.startFailed()) {
      std::fprintf(stderr, "orvane: the first scenario %s could not be read\n",
                   Cp932ToUtf8(game.FirstScenarioName()).c_str());
      orvane_web_game_state("failed");
      return 2;
    }
    BrowserGame browser(game, audio, session.clock(), settings, controls);
    result = game.closed() ? 0 : session.Run(browser);
    settings.GatherFrom(game, audio);
  }
  settings.Save(stderr);
  orvane_web_settle_saves();
  orvane_web_game_state("ended");
  return result;
}

}  // namespace orv
