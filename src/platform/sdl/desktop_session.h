#pragma once
// Everything a desktop run needs besides the game and its sound: SDL's video, the window, the
// clock and the fonts, in the order they must be made and unmade. The game object is built
// from host(), clock() and fonts() after Start and handed to Run.
//
//   DesktopSession session({gameDir, scale});
//   if (!session.Start(error)) ...
//   Player game(PlatformServices{session.host(), session.clock(), folder, session.fonts(), audio, diagnostics,
//                                speech});
//   return session.Run(game);
//
// The session shuts SDL down when it goes away: destroy the audio output before it.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/game_events.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_host.h"
#include "platform/text/font_renderer.h"

namespace orv {

struct DesktopOptions {
  std::filesystem::path gameRoot = ".";
  int scale = 0;  // 0: the largest whole factor that fits the screen
  bool stayOnTop = true;
  std::optional<Scaling> scaling;  // nothing: integer in a window, fit in full screen
  std::optional<PresentPath> present;  // nothing: chosen by the machine
};

class DesktopSession {
 public:
  explicit DesktopSession(DesktopOptions options);
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  // Starts SDL's video and opens the window (once: a second call keeps the window, so that a
  // game picked on the start screen plays in it); false with a one-line message otherwise.
  bool Start(std::string& error);
  // While a dialog of another program is up over the window: keeps the window drawn and drops
  // the input meant for that dialog. False once the window is to close.
  bool KeepWindowAlive();
  // Tells the game the window is shown, then runs the main loop until the game closes.
  int Run(GameEvents& game);
  // The second player's notice: "既に起動しています。" and a line in English, in a small window
  // of its own, until answered. Needs no Start.
  void ShowAlreadyRunning();
  // A problem that keeps the game from starting, in a window of its own: the UTF-8 text
  // (Japanese first, then the file and a line in English). Needs no Start; does nothing
  // without a display.
  void ShowStartProblem(std::string_view utf8Text);

  FontRenderer& fonts() { return fonts_; }
  SdlHost& host() { return *host_; }
  SdlClock& clock() { return *clock_; }

 private:
  bool InitVideo(std::string& error);

  DesktopOptions options_;
  bool videoStarted_ = false;
  FontRenderer fonts_;
  std::unique_ptr<SdlHost> host_;
  std::unique_ptr<SdlClock> clock_;
};

// A modal message in a window of its own, the box's own title bar its only one (SDL video
// must be running).
void ShowStandaloneMessage(FontRenderer& fonts, std::string_view sjisText, std::string_view sjisCaption);

}  // namespace orv
