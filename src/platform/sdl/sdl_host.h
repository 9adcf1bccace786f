#pragma once
// The desktop window: the 640 x 480 stage scaled to a resizable window or to the whole screen,
// our own menu bar above it (over it in full screen), modal boxes drawn inside the window, and
// notes laid over the stage that do not stop the game.
//
// Scaling: whole multiples with sharp pixels (the default in a window), the largest picture of
// the stage's shape with sharp bilinear filtering (whole-multiple prescale, then linear; the
// default in full screen), or stretched to the whole area. The window's layout is in real
// pixels, so a HiDPI screen gets the factor its pixels allow.
//
// Frames: the game presents its surface as often as it likes; only the rows and columns that
// changed go on to the presenter (window_presenter.h), and the window is redrawn at most once
// per display refresh. A frame
// that is not yet due is shown by the next wait, keep-alive or turn of the main loop.
#include <SDL.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/game_events.h"
#include "platform/host.h"
#include "platform/menu.h"
#include "platform/os.h"
#include "platform/sdl/present_choice.h"
#include "platform/sdl/window_presenter.h"
#include "platform/text/font_renderer.h"
#include "platform/ui/cursor_file.h"
#include "platform/ui/dialog_box.h"
#include "platform/ui/menu_bar.h"
#include "platform/ui/volume_box.h"

namespace orv {

enum class Scaling { Integer, Fit, Stretch };

// "integer", "fit" or "stretch".
std::optional<Scaling> ScalingByName(std::string_view name);
const char* ScalingName(Scaling scaling);

struct SdlHostOptions {
  std::filesystem::path gameRoot;  // files handed to OpenExternally must lie inside it
  int scale = 0;                   // 0: the largest whole factor that fits the screen
  bool stayOnTop = true;           // the game's window starts on top of the others
  std::optional<Scaling> scaling;  // nothing: integer in a window, fit in full screen
  std::optional<PresentPath> present;  // nothing: chosen by the machine (present_choice.h)
};

// The player's own menu, after the game's items. Its component names start with this prefix,
// which no game item has.
inline constexpr std::string_view kPlayerMenuPrefix = "orvane.";

class SdlHost final : public Host {
 public:
  SdlHost(FontRenderer& fonts, SdlHostOptions options);
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  // Creates the window (SDL video must be initialised); false with a message otherwise.
  bool Open(std::string& error);
  // The game folder files handed to the opener must lie in, once a game was picked.
  void SetGameRoot(std::filesystem::path root) { options_.gameRoot = std::move(root); }

  void Present(const Image& surface) override;
  void SetCaption(std::string_view caption) override;
  void ShowCaptionNote(std::string_view utf8Note) override;
  void MenuChanged(const MenuModel& menu) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view defaultText) override;
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter) override;
  void ShowVolumeDialog(VolumeControls& controls) override;
  void SetStayOnTop(bool onTop) override;
  void SetFullScreen(bool fullScreen) override;
  void SetMenuBarVisible(bool visible) override;
  void SetWindowPosition(int left, int top) override;
  void GetWindowPosition(int& left, int& top) override;
  void CenterWindow() override;
  bool SetCursorFromFile(const std::filesystem::path& file) override;
  void ResetCursor() override;
  void OpenExternally(const std::string& target) override;
  void ShowSkipping(bool skipping) override;
  bool SkippingShown() const override { return skipping_; }

  // One event of the main loop: the window's own events, the menu, and input for the game.
  void Dispatch(const SDL_Event& event, GameEvents& game);
  // Expose and resize events (the clock handles these while the game waits); true when the
  // event was one of them.
  bool HandleWindowEvent(const SDL_Event& event);
  // Redraws the window now from the last presented surface.
  void Repaint();
  // Shows the frame the game presented last if one is waiting and the display is ready for it.
  void FlushFrame();
  // Milliseconds until a waiting frame (or a sub-menu switch) is due, 0 when due now; nothing
  // when none waits.
  std::optional<uint32_t> FrameDueInMs() const;
  // The close button was pressed while a modal box was up; the loop delivers it afterwards.
  bool TakePendingClose();
  // A close request (window or signal) arrived during a modal box or was noted by the clock.
  bool QuitRequested() const { return quitRequested_; }
  void NoteQuit() { quitRequested_ = true; }
  // The main loop is about to hand input to the game, or the game has returned to the loop.
  void GameReturned() { gameIdleSince_ = SDL_GetTicks(); }
  // Holding Ctrl skips: tells the game when the held state changes.
  void SyncHeldSkip(GameEvents& game);

  // The note over the window while a step runs long without waiting.
  void ShowBusyNote(bool shown);
  // A note over the window that stays for `ms` or until the next click or key.
  void ShowNotice(std::string_view utf8Text, uint32_t ms);

  // Window pixels to stage pixels (clamped to the stage); false when the point is off it.
  bool ToStage(int x, int y, int& stageX, int& stageY) const;
  SDL_Window* window() const { return window_; }
  bool fullScreen() const { return fullScreen_; }
  bool menuBarShown() const { return barVisible_; }
  const MenuBar& menuBar() const { return menu_; }
  Scaling scaling() const;
  // The mode the player chose (in the menu, or at start), or nothing for the default.
  std::optional<Scaling> chosenScaling() const { return options_.scaling; }
  void SetScaling(Scaling scaling);
  // The stage's place in the window and the widget scale, as last laid out.
  Rect StageRect() const { return ComputeLayout().stage; }
  int WindowedScale() const { return scale_; }
  // Why the window opened smaller than --scale asked, in one line; empty when it did not.
  const std::string& scaleNote() const { return scaleNote_; }
  // Frames actually drawn (for measurements).
  uint64_t FramesDrawn() const { return framesDrawn_; }
  // How frames reach the screen ("accelerated" or "surface") and why, once the window is open.
  const char* PresenterName() const { return presenter_ ? presenter_->Name() : "none"; }
  const std::string& PresentReason() const { return presentReason_; }

 private:
  // Puts the window back where SetWindowPosition asked, while the desktop is still framing it.
  void KeepPlacement();
  // Full screen hides the bar: the menu keys show it (true when it is shown now), and it hides
  // again once its menu has closed.
  bool RevealBarForKeys();
  void HideBarRevealedForKeys();
  struct Layout {
    int width = 0, height = 0;  // window pixels
    Rect stage, bar;
    bool barShown = false;
    int ui = 1;           // widget scale
    int stageScale = 1;   // whole factor of the stage (0 when not a whole multiple)
  };
  Layout ComputeLayout() const;
  // The start scale: --scale, capped to what fits the screen (saying so in scaleNote_), or the
  // largest that fits.
  int ChooseScale();
  // Real pixels per window coordinate (above 1 on HiDPI screens).
  float PixelRatio() const;
  void EventToPixels(int& x, int& y) const;
  void RebuildPanels(const Layout& layout);
  uint32_t FrameSpacingMs() const;
  bool RunDialog(DialogBox& box);
  void HandleDialogEvent(DialogBox& box, const SDL_Event& event);
  void HandleVolumeEvent(VolumeBox& box, const SDL_Event& event);
  void MenuInputDone(const MenuInput& input, GameEvents* game);
  bool HandlePlayerMenu(std::string_view name, GameEvents& game);
  void ToggleFullScreen(GameEvents& game);
  void RebuildMenuModel();
  void HandleKeyDown(const SDL_Event& event, const Layout& layout, GameEvents& game);
  void DismissNotice();
  // The window's title: the game's caption, and the player's note while it lasts.
  void ShowTitle();
  void UpdateCursor(bool overUi);
  void RebuildCursor();

  FontRenderer& fonts_;
  SdlHostOptions options_;
  int scale_ = 1;
  std::string scaleNote_;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<WindowPresenter> presenter_;
  std::string presentReason_;

  // The stage as last presented.
  Image shown_;
  bool framePending_ = false;
  bool redrawAll_ = true;  // the window lost its contents or changed its shape
  uint32_t lastFrameMs_ = 0;
  uint32_t frameIntervalMs_ = 17;
  uint32_t frameCostMs_ = 0;  // what drawing a frame has been taking
  uint64_t framesDrawn_ = 0;

  bool uiDirty_ = true;

  MenuModel gameMenu_;
  MenuBar menu_;
  bool barVisible_ = true;
  bool fullScreen_ = false;
  bool barForKeys_ = false;  // the bar is shown in full screen because a menu key asked
  // A window position asked for, held to while the desktop frames the window.
  struct Placement {
    int left = 0, top = 0;
    uint32_t untilMs = 0;  // how long the frame is waited for
  };
  static constexpr uint32_t kPlacementMs = 2000;
  std::optional<Placement> placement_;
  DialogBox* dialog_ = nullptr;
  VolumeBox* volumeBox_ = nullptr;
  int windowedWidth_ = 0, windowedHeight_ = 0;  // the window's size before full screen
  bool windowedWithBar_ = true;
  bool quitRequested_ = false;

  uint32_t gameIdleSince_ = 0;
  bool heldSkip_ = false;
  bool altAlone_ = false;  // Alt is down and no other key came since

  bool busyNote_ = false;
  std::string notice_;
  uint32_t noticeUntil_ = 0;
  static constexpr uint32_t kCaptionNoteMs = 5000;
  std::string caption_;  // UTF-8
  std::string captionNote_;
  uint32_t captionNoteUntil_ = 0;
  bool skipping_ = false;

  enum class MouseOwner { None, Menu, Game };
  MouseOwner mouseOwner_ = MouseOwner::None;

  std::optional<CursorImage> cursorImage_;
  SDL_Cursor* cursor_ = nullptr;
  int cursorScale_ = 0;
  bool cursorOverUi_ = false;

  DesktopOpener opener_;
};

// The game's key for an SDL key; Other for keys the game does not know. The space bar is the
// game's Enter: both advance.
KeyPress TranslateKey(SDL_Keycode key);
// The largest whole scale whose window (stage, menu bar and a window manager's frame) fits in
// a usable screen area of this size; 1 at least, 8 at most.
int LargestScaleThatFits(int usableWidth, int usableHeight);
// A button, key, text or wheel event: what a person's hand makes.
bool IsInputEvent(const SDL_Event& event);

}  // namespace orv
