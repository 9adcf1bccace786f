#pragma once
// Real time for the desktop. A wait blocks the game as the original's busy waits did, but
// keeps the window alive: window events (expose, resize) are handled and due frames shown,
// while input stays queued for the game to read after the wait.
//
// Waits that follow each other closely keep their rhythm: a wait that starts within a few
// milliseconds of the previous one's end is measured from where that one should have ended,
// so the time a step spends drawing and showing its frame comes out of its pause instead of
// adding to it. A transition of N steps at S ms then takes N x S ms however slow the display.
//
// A close request (the window's close button, or SIGINT/SIGTERM, which SDL turns into a quit
// event) ends every wait at once and is remembered until the game has closed.
#include <cstdint>

#include "platform/clock.h"

namespace orv {

class SdlHost;

class SdlClock final : public Clock {
 public:
  // `host` repaints the window during waits and shows the busy note; may be null.
  explicit SdlClock(SdlHost* host = nullptr) : host_(host) {}

  uint32_t NowMs() override;
  void WaitMs(uint32_t ms) override;
  bool ButtonHeld() override;
  void KeepAlive() override;
  bool QuitRequested() override;
  uint32_t GoOnPresses() override;

  // The main loop hands an event or a timer to the game: a step starts now.
  void GameBusy();
  // The game's handler returned: it waits for input again.
  void GameIdle();

  // How long a step may run without waiting before the window says so.
  static constexpr uint32_t kBusyNoteMs = 3000;
  // How late a wait may start and still be measured from the previous wait's end.
  static constexpr uint32_t kRhythmSlackMs = 40;

 private:
  void PumpWindowEvents();
  // Escape, while the busy note invites it, counts as a close request.
  void CheckEscapeWhileBusy();
  void StepRunsOn();

  SdlHost* host_;
  bool quit_ = false;
  bool haveDeadline_ = false;
  uint32_t lastDeadline_ = 0;
  bool busy_ = false;
  uint32_t runningSince_ = 0;  // start of the stretch of the step without a wait
  bool noteShown_ = false;
  uint32_t goOnPresses_ = 0;
  uint32_t lastPressCountedMs_ = 0;  // arrival of the newest press counted
  bool anyPressCounted_ = false;
};

}  // namespace orv
