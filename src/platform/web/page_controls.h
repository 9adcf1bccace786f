#pragma once
// The page's own controls for phones and tablets: a menu sized for fingers and a text box that
// brings up the phone's keyboard. Both stand in for parts of the window a finger cannot work
// well (the narrow menu bar, a text field that no on-screen keyboard reaches), and both leave
// the desktop's window as it is wherever the page has no such control.
#include <optional>
#include <string>
#include <string_view>

#include "platform/host.h"
#include "platform/menu.h"

namespace orv {

// Hands the window's calls through to `window`; tells the page the menu bar's items as they
// change and lets the page's own boxes answer the input dialog and yes-or-no questions.
class PageControls final : public Host {
 public:
  explicit PageControls(Host& window) : window_(window) {}

  // The item the page's menu chose since the last call, when it is one the menu holds now and
  // may be chosen; nothing otherwise. The page is not trusted to name a real item.
  std::optional<std::string> TakeMenuChoice();

  void Present(const Image& surface) override { window_.Present(surface); }
  void SetCaption(std::string_view caption) override { window_.SetCaption(caption); }
  void MenuChanged(const MenuModel& menu) override;
  void ShowProblem(std::string_view text, std::string_view caption, std::string_view englishDetail) override {
    window_.ShowProblem(text, caption, englishDetail);
  }
  void ShowMessage(std::string_view text, std::string_view caption) override { window_.ShowMessage(text, caption); }
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view defaultText) override;
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter) override {
    return window_.AskSaveFile(title, filter);
  }
  void ShowVolumeDialog(VolumeControls& controls) override { window_.ShowVolumeDialog(controls); }
  void SetStayOnTop(bool onTop) override { window_.SetStayOnTop(onTop); }
  void SetFullScreen(bool fullScreen) override { window_.SetFullScreen(fullScreen); }
  void SetMenuBarVisible(bool visible) override { window_.SetMenuBarVisible(visible); }
  void SetWindowPosition(int left, int top) override { window_.SetWindowPosition(left, top); }
  void GetWindowPosition(int& left, int& top) override { window_.GetWindowPosition(left, top); }
  void CenterWindow() override { window_.CenterWindow(); }
  bool SetCursorFromFile(const std::filesystem::path& file) override { return window_.SetCursorFromFile(file); }
  void ResetCursor() override { window_.ResetCursor(); }
  void OpenExternally(const std::string& target) override { window_.OpenExternally(target); }
  void ShowSkipping(bool skipping) override { window_.ShowSkipping(skipping); }
  bool SkippingShown() const override { return window_.SkippingShown(); }
  void ShowCaptionNote(std::string_view utf8Note) override { window_.ShowCaptionNote(utf8Note); }

 private:
  Host& window_;
  MenuModel menu_;
};

// The menu as the page reads it: JSON of {name, caption (UTF-8, "&" marks kept), checked,
// enabled, separator, children}.
std::string MenuModelJson(const MenuModel& menu);

}  // namespace orv
