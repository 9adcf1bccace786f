// The desktop composition root: the single-instance guard, SDL's window and sound, and the
// game object built on them.
#include "app/desktop_run.h"

#include <ctime>

#include <cstdio>

#include "app/player.h"
#include "app/game_check.h"
#include "platform/os.h"
#include "platform/sdl/desktop_session.h"
#include "platform/sdl/sdl_audio.h"

namespace orv {

namespace {

// Hands the game's events through and lets the sound backend deliver its notifications
// (a track that ended) whenever the main loop is between events, as window messages were.
class PumpingGame final : public GameEvents {
 public:
  PumpingGame(GameEvents& game, SdlAudio& audio) : game_(game), audio_(audio) {}
  void Shown() override { game_.Shown(); }
  void Click() override { game_.Click(); }
  void MouseDown(MouseButton b, int x, int y) override { game_.MouseDown(b, x, y); }
  void MouseMove(int x, int y) override { game_.MouseMove(x, y); }
  void KeyDown(KeyPress key) override { game_.KeyDown(key); }
  void Wheel(WheelDirection direction) override { game_.Wheel(direction); }
  void MenuClick(std::string_view name) override { game_.MenuClick(name); }
  void CloseRequested() override { game_.CloseRequested(); }
  bool NextTimerDue(uint32_t& dueMs) override {
    audio_.Pump();
    return game_.NextTimerDue(dueMs);
  }
  void FireDueTimers(uint32_t nowMs) override { game_.FireDueTimers(nowMs); }
  bool Closed() const override { return game_.Closed(); }

 private:
  GameEvents& game_;
  SdlAudio& audio_;
};

}  // namespace

int RunDesktop(const CommandLine& options) {
  if (Result<void> folder = CheckGameFolder(options.gameDir); !folder) {
    std::fprintf(stderr, "orvane: %s\n", folder.error().message.c_str());
    return 2;
  }
  DesktopSession session(DesktopOptions{options.gameDir, options.scale});
  const SingleInstanceLock instance = SingleInstanceLock::ForGameFolder(options.gameDir);
  if (!instance.MayRun()) {
    session.ShowAlreadyRunning();
    return 0;
  }
  std::string error;
  if (!session.Start(error)) {
    std::fprintf(stderr, "orvane: %s\n", error.c_str());
    return 1;
  }
  GameFolder folder(options.gameDir);
  SdlAudio::Options audioOptions;
  audioOptions.soundFont = options.soundFont;
  audioOptions.gameFolder = options.gameDir;
  audioOptions.midiPort = options.midiPort;
  SdlAudio audio(audioOptions);
  int result = 0;
  {
    StreamDiagnostics diagnostics(stderr);
    PlayerOptions playerOptions;
    playerOptions.randomSeed = options.seed;
    if (!options.saveDir.empty()) playerOptions.saveDir = std::filesystem::path(options.saveDir);
    Player game(PlatformServices{session.host(), session.clock(), folder, session.fonts(), audio, diagnostics},
                playerOptions);
    game.FormCreate();
    PumpingGame pumping(game, audio);
    result = game.closed() ? 0 : session.Run(pumping);
  }
  return result;
}

}  // namespace orv
