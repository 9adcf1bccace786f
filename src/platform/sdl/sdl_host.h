#pragma once
// The desktop backend as the game sees it (Host), composed of its parts by role:
//   desktop_window.h   the window and what it shows: the scaled stage, the menu bar, notes,
//                      title, cursor and window modes, and the frames' pacing
//   window_input.h     the main loop's events for the game and the menu bar
//   menu_commands.h    what the bar's choices do; player_menu.h, the player's own items
//   modal_boxes.h      messages, questions, text and file names, the volume box
// SdlHost keeps no state of its own beyond the parts, the game folder and the desktop's opener:
// what passes through it goes on to the part whose job it is.
#include <SDL.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/game_events.h"
#include "platform/host.h"
#include "platform/os.h"
#include "platform/sdl/desktop_window.h"
#include "platform/sdl/menu_commands.h"
#include "platform/sdl/modal_boxes.h"
#include "platform/sdl/window_input.h"

namespace orv {

struct SdlHostOptions {
  std::filesystem::path gameRoot;      // files handed to OpenExternally must lie inside it
  int scale = 0;                       // 0: the largest whole factor that fits the screen
  bool stayOnTop = true;               // the game's window starts on top of the others
  std::optional<Scaling> scaling;      // nothing: integer in a window, fit in full screen
  std::optional<PresentPath> present;  // nothing: chosen by the machine (present_choice.h)
};

class SdlHost final : public Host {
 public:
  SdlHost(FontRenderer& fonts, SdlHostOptions options);
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  // Creates the window (SDL video must be initialised); false with a message otherwise.
  bool Open(std::string& error) { return window_.Open(error); }
  // The game folder files handed to the opener must lie in, once a game was picked.
  void SetGameRoot(std::filesystem::path root) { gameRoot_ = std::move(root); }

  void Present(const Image& surface) override { window_.Present(surface); }
  void SetCaption(std::string_view caption) override { window_.SetCaption(caption); }
  void ShowCaptionNote(std::string_view utf8Note) override { window_.ShowCaptionNote(utf8Note); }
  void MenuChanged(const MenuModel& menu) override { window_.SetGameMenu(menu); }
  void ShowMessage(std::string_view text, std::string_view caption) override { boxes_.ShowMessage(text, caption); }
  bool AskYesNo(std::string_view text, std::string_view caption) override { return boxes_.AskYesNo(text, caption); }
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view defaultText) override {
    return boxes_.AskText(caption, prompt, defaultText);
  }
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter) override {
    return boxes_.AskSaveFile(title, filter);
  }
  void ShowVolumeDialog(VolumeControls& controls) override { boxes_.ShowVolumeDialog(controls); }
  void SetStayOnTop(bool onTop) override { window_.SetStayOnTop(onTop); }
  void SetFullScreen(bool fullScreen) override { window_.SetFullScreen(fullScreen); }
  void SetMenuBarVisible(bool visible) override;
  void SetWindowPosition(int left, int top) override { window_.SetWindowPosition(left, top); }
  void GetWindowPosition(int& left, int& top) override { window_.GetWindowPosition(left, top); }
  void CenterWindow() override { window_.CenterWindow(); }
  bool SetCursorFromFile(const std::filesystem::path& file) override { return window_.SetCursorFromFile(file); }
  void ResetCursor() override { window_.ResetCursor(); }
  void OpenExternally(const std::string& target) override;
  void ShowSkipping(bool skipping) override { window_.ShowSkipping(skipping); }
  bool SkippingShown() const override { return window_.SkippingShown(); }

  // One event of the main loop: the window's own events, the menu, and input for the game.
  void Dispatch(const SDL_Event& event, GameEvents& game);
  // Expose and resize events (the clock handles these while the game waits); true when the
  // event was one of them.
  bool HandleWindowEvent(const SDL_Event& event) { return window_.HandleWindowEvent(event); }
  void Repaint() { window_.Repaint(); }
  void FlushFrame() { window_.FlushFrame(); }
  std::optional<uint32_t> FrameDueInMs() const { return window_.FrameDueInMs(); }
  // A close request (window or signal) arrived during a modal box or was noted by the clock.
  bool QuitRequested() const { return window_.QuitRequested(); }
  bool TakePendingClose() { return window_.QuitRequested(); }
  void NoteQuit() { window_.NoteQuit(); }
  void GameReturned() { input_.GameReturned(); }
  void SyncHeldSkip(GameEvents& game) { input_.SyncHeldSkip(game); }

  // The note over the window while a step runs long without waiting.
  void ShowBusyNote(bool shown) { window_.ShowBusyNote(shown); }
  // A note over the window that stays for `ms` or until the next click or key.
  void ShowNotice(std::string_view utf8Text, uint32_t ms) { window_.ShowNotice(utf8Text, ms); }

  bool ToStage(int x, int y, int& stageX, int& stageY) const { return window_.ToStage(x, y, stageX, stageY); }
  SDL_Window* window() const { return window_.window(); }
  bool fullScreen() const { return window_.fullScreen(); }
  bool menuBarShown() const { return window_.menuBarShown(); }
  const MenuBar& menuBar() const { return window_.menuBar(); }
  Scaling scaling() const { return window_.scaling(); }
  std::optional<Scaling> chosenScaling() const { return window_.chosenScaling(); }
  void SetScaling(Scaling scaling) { window_.SetScaling(scaling); }
  Rect StageRect() const { return window_.Layout().stage; }
  int WindowedScale() const { return window_.WindowedScale(); }
  // Why the window opened smaller than --scale asked, in one line; empty when it did not.
  const std::string& scaleNote() const { return window_.scaleNote(); }
  uint64_t FramesDrawn() const { return window_.FramesDrawn(); }
  // How frames reach the screen ("accelerated" or "surface") and why, once the window is open.
  const char* PresenterName() const { return window_.PresenterName(); }
  const std::string& PresentReason() const { return window_.PresentReason(); }

 private:
  std::filesystem::path gameRoot_;
  DesktopWindow window_;
  MenuCommands menus_;
  WindowInput input_;
  ModalBoxes boxes_;
  DesktopOpener opener_;
};

}  // namespace orv
