#pragma once
// The desktop window and what it shows: the 640 x 480 stage scaled to a resizable window or to
// the whole screen, our own menu bar above it (over it in full screen), the note and box panels
// laid over the stage, the title, the cursor and the window's modes. Input and the modal boxes'
// loops live elsewhere (window_input.h, modal_boxes.h) and drive it through these verbs.
//
// Frames: the game presents its surface as often as it likes; only what changed goes on to the
// presenter (window_presenter.h), paced by stage_frames.h. A frame that is not yet due is shown
// by the next wait, keep-alive or turn of the main loop.
#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/menu.h"
#include "platform/sdl/player_menu.h"
#include "platform/sdl/present_choice.h"
#include "platform/sdl/stage_frames.h"
#include "platform/sdl/window_cursor.h"
#include "platform/sdl/window_layout.h"
#include "platform/sdl/window_notes.h"
#include "platform/sdl/window_presenter.h"
#include "platform/ui/menu_bar.h"

namespace orv {

struct DesktopWindowOptions {
  int scale = 0;                       // 0: the largest whole factor that fits the screen
  bool stayOnTop = true;               // the window starts on top of the others
  std::optional<Scaling> scaling;      // nothing: integer in a window, fit in full screen
  std::optional<PresentPath> present;  // nothing: chosen by the machine (present_choice.h)
};

class DesktopWindow {
 public:
  // A box drawn over the stage while it is up: placed in the stage at the widget scale.
  using ModalPanel = std::function<Panel(Rect stage, int ui)>;

  DesktopWindow(FontRenderer& fonts, DesktopWindowOptions options);
  ~DesktopWindow();
  DesktopWindow(const DesktopWindow&) = delete;
  DesktopWindow& operator=(const DesktopWindow&) = delete;

  // Creates the window (SDL video must be initialised); false with a message otherwise.
  bool Open(std::string& error);
  bool IsOpen() const { return window_ != nullptr; }
  SDL_Window* window() const { return window_; }

  // --- frames
  void Present(const Image& surface);
  // Redraws the window now from the last presented surface.
  void Repaint();
  // The bar, notes or boxes changed: they are drawn again, now.
  void RepaintPanels();
  // Shows the frame the game presented last if one is waiting and the display is ready for it.
  void FlushFrame();
  // Milliseconds until a waiting frame (or a sub-menu switch) is due, 0 when due now; nothing
  // when none waits.
  std::optional<uint32_t> FrameDueInMs() const;
  uint64_t FramesDrawn() const { return frames_.drawnCount(); }
  const char* PresenterName() const { return presenter_ ? presenter_->Name() : "none"; }
  const std::string& PresentReason() const { return presentReason_; }

  // Expose and resize events, and the close button; true when the event was a window event.
  bool HandleWindowEvent(const SDL_Event& event);
  // The GPU lost its textures.
  void ResetPresenter();

  // --- layout
  WindowLayout Layout() const;
  // Window pixels to stage pixels (clamped to the stage); false when the point is off it.
  bool ToStage(int x, int y, int& stageX, int& stageY) const;
  // An event's window coordinates in real pixels (they differ on HiDPI screens).
  void EventToPixels(int& x, int& y) const;
  Scaling scaling() const;
  std::optional<Scaling> chosenScaling() const { return options_.scaling; }
  void SetScaling(Scaling scaling);
  int WindowedScale() const { return scale_; }
  const std::string& scaleNote() const { return scaleNote_; }

  // --- modes
  void SetStayOnTop(bool onTop);
  void SetFullScreen(bool fullScreen);
  void SetMenuBarVisible(bool visible);
  void SetWindowPosition(int left, int top);
  void GetWindowPosition(int& left, int& top) const;
  void CenterWindow();
  bool fullScreen() const { return fullScreen_; }
  bool menuBarShown() const { return barVisible_; }

  // --- menu bar: the game's items and the player's own section after them
  void SetGameMenu(const MenuModel& menu);
  const MenuModel& gameMenu() const { return gameMenu_; }
  MenuBar& menuBar() { return menu_; }
  const MenuBar& menuBar() const { return menu_; }

  // --- title, notes, cursor
  void SetCaption(std::string_view caption);
  void ShowCaptionNote(std::string_view utf8Note);
  void ShowBusyNote(bool shown);
  void ShowNotice(std::string_view utf8Text, uint32_t ms);
  // The next click or key takes a notice away; it goes with the next frame.
  void DismissNotice();
  void ShowSkipping(bool skipping);
  bool SkippingShown() const { return notes_.skipping(); }
  bool SetCursorFromFile(const std::filesystem::path& file);
  void ResetCursor();
  void ShowCursorOverUi(bool overUi) { cursor_.ShowOverUi(overUi); }

  // --- a modal box over the stage (one at a time), and close requests that arrive meanwhile
  void ShowModal(ModalPanel panel);
  void EndModal();
  bool ModalShown() const { return static_cast<bool>(modal_); }
  bool QuitRequested() const { return quitRequested_; }
  void NoteQuit() { quitRequested_ = true; }

 private:
  // The start scale: --scale, capped to what fits the screen (saying so in scaleNote_), or the
  // largest that fits.
  int ChooseScale();
  // Real pixels per window coordinate (above 1 on HiDPI screens).
  float PixelRatio() const;
  void RebuildPanels(const WindowLayout& layout);
  void RebuildMenuModel();
  void ShowTitle();
  // Puts the window back where SetWindowPosition asked, while the desktop is still framing it.
  void KeepPlacement();

  DesktopWindowOptions options_;
  int scale_ = 1;
  std::string scaleNote_;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<WindowPresenter> presenter_;
  std::string presentReason_;

  StageFrames frames_;
  bool redrawAll_ = true;  // the window lost its contents or changed its shape
  bool uiDirty_ = true;

  MenuModel gameMenu_;
  MenuBar menu_;
  bool barVisible_ = true;
  bool fullScreen_ = false;
  int windowedWidth_ = 0, windowedHeight_ = 0;  // the window's size before full screen
  bool windowedWithBar_ = true;
  // A window position asked for, held to while the desktop frames the window.
  struct Placement {
    int left = 0, top = 0;
    uint32_t untilMs = 0;  // how long the frame is waited for
  };
  std::optional<Placement> placement_;

  WindowNotes notes_;
  WindowCursor cursor_;
  ModalPanel modal_;
  bool quitRequested_ = false;
};

}  // namespace orv
