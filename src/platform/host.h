#pragma once
// The window and its dialogs as the game needs them. Texts cross this interface as Shift-JIS
// bytes, as the game holds them; each backend decodes them to show them.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/image.h"
#include "platform/volume_controls.h"

namespace orv {

struct MenuModel;

class Host {
 public:
  virtual ~Host() = default;

  // The window surface changed: show it.
  virtual void Present(const Image& surface) = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  // The menu's captions, check marks or enabled states changed.
  virtual void MenuChanged(const MenuModel& menu) = 0;

  // Modal boxes. `caption` is the box's title.
  // A box for a problem the game cannot go on from: the kit's own text, and under it a line in
  // English saying what is wrong for those who do not read it.
  virtual void ShowProblem(std::string_view text, std::string_view caption, std::string_view englishDetail) {
    ShowMessage(std::string(text) + "\n" + std::string(englishDetail), caption);
  }
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
  // The input dialog: nullopt when cancelled.
  virtual std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                             std::string_view defaultText) = 0;
  // The save-file dialog: the chosen name as entered, nullopt when cancelled.
  virtual std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter) = 0;
  // The volume dialog, modal until the player closes it; the controls take the player's moves
  // as they happen. A window that cannot show it closes it at once.
  virtual void ShowVolumeDialog(VolumeControls& controls) {}

  // Window modes.
  virtual void SetStayOnTop(bool onTop) = 0;
  virtual void SetFullScreen(bool fullScreen) = 0;
  virtual void SetMenuBarVisible(bool visible) = 0;
  virtual void SetWindowPosition(int left, int top) = 0;
  virtual void GetWindowPosition(int& left, int& top) = 0;
  virtual void CenterWindow() = 0;

  // Mouse cursor from a .cur or .ani file; false (and the cursor unchanged) when unreadable.
  virtual bool SetCursorFromFile(const std::filesystem::path& file) = 0;
  virtual void ResetCursor() = 0;
  // Hands a file of the game folder, or an http(s) address, to the desktop's opener.
  virtual void OpenExternally(const std::string& target) = 0;
  // Skip mode runs (or stopped): a backend may show a sign of it.
  virtual void ShowSkipping(bool skipping) {}
  // Whether that sign shows now.
  virtual bool SkippingShown() const { return false; }
  // A short note of the player's own (UTF-8) beside the window's caption for a few seconds,
  // such as where a screenshot went. The game's caption is left as it is.
  virtual void ShowCaptionNote(std::string_view utf8Note) {}
};

}  // namespace orv
