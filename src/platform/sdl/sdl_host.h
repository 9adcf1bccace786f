#pragma once
// The desktop window: the 640 x 480 stage scaled by a whole factor with sharp pixels, our own
// menu bar above it (over it in full-screen), and modal boxes drawn inside the window.
#include <SDL.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/game_events.h"
#include "platform/host.h"
#include "platform/menu.h"
#include "platform/os.h"
#include "platform/text/font_renderer.h"
#include "platform/ui/cursor_file.h"
#include "platform/ui/dialog_box.h"
#include "platform/ui/menu_bar.h"
#include "platform/ui/volume_box.h"

namespace orv {

struct SdlHostOptions {
  std::filesystem::path gameRoot;  // files handed to OpenExternally must lie inside it
  int scale = 0;                   // 0: the largest whole factor that fits the screen
  bool stayOnTop = true;           // the game's window starts on top of the others
};

class SdlHost final : public Host {
 public:
  SdlHost(FontRenderer& fonts, SdlHostOptions options);
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  // Creates the window (SDL video must be initialised); false with a message otherwise.
  bool Open(std::string& error);

  void Present(const Image& surface) override;
  void SetCaption(std::string_view caption) override;
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

  // One event of the main loop: the window's own events, the menu, and input for the game.
  void Dispatch(const SDL_Event& event, GameEvents& game);
  // Expose and resize events (the clock handles these while the game waits); true when the
  // event was one of them.
  bool HandleWindowEvent(const SDL_Event& event);
  // Redraws the window from the last presented surface.
  void Repaint();
  // The close button was pressed while a modal box was up; the loop delivers it afterwards.
  bool TakePendingClose();

  // Window pixels to stage pixels (clamped to the stage); false when the point is off it.
  bool ToStage(int x, int y, int& stageX, int& stageY) const;
  SDL_Window* window() const { return window_; }
  bool fullScreen() const { return fullScreen_; }
  bool menuBarShown() const { return barVisible_; }
  const MenuBar& menuBar() const { return menu_; }
  // The stage's place in the window and the widget scale, as last laid out.
  Rect StageRect() const { return ComputeLayout().stage; }
  int WindowedScale() const { return scale_; }

 private:
  struct Layout {
    int width = 0, height = 0;  // window pixels
    Rect stage, bar;
    bool barShown = false;
    int ui = 1;           // widget scale
    int stageScale = 1;   // whole factor of the stage (0 when fitted smaller)
  };
  Layout ComputeLayout() const;
  int ChooseScale() const;
  void ApplyWindowedSize();
  void RebuildPanels(const Layout& layout);
  void DestroyPanels();
  bool RunDialog(DialogBox& box);
  void HandleDialogEvent(DialogBox& box, const SDL_Event& event);
  void HandleVolumeEvent(VolumeBox& box, const SDL_Event& event);
  void MenuInputDone(const MenuInput& input, GameEvents* game);
  void UpdateCursor(bool overUi);
  void RebuildCursor();

  FontRenderer& fonts_;
  SdlHostOptions options_;
  int scale_ = 1;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* stageTexture_ = nullptr;
  int stageTextureWidth_ = 0, stageTextureHeight_ = 0;
  struct PanelTexture {
    Rect where;
    SDL_Texture* texture;
  };
  std::vector<PanelTexture> panels_;
  bool uiDirty_ = true;

  MenuBar menu_;
  bool barVisible_ = true;
  bool fullScreen_ = false;
  DialogBox* dialog_ = nullptr;
  VolumeBox* volumeBox_ = nullptr;
  bool pendingClose_ = false;

  enum class MouseOwner { None, Menu, Game };
  MouseOwner mouseOwner_ = MouseOwner::None;

  std::optional<CursorImage> cursorImage_;
  SDL_Cursor* cursor_ = nullptr;
  int cursorScale_ = 0;
  bool cursorOverUi_ = false;

  DesktopOpener opener_;
};

// The game's key for an SDL key; Other for keys the game does not know.
KeyPress TranslateKey(SDL_Keycode key);

}  // namespace orv
