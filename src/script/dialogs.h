#pragma once
// The modal boxes scripts and menus open, with texts in Shift-JIS as the game holds them. The
// player implements them over the window's host, with its own title on the message box.
#include <optional>
#include <string>
#include <string_view>

namespace orv {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // An OK box under the window's title.
  virtual void ShowMessage(std::string_view text) = 0;
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
  // The input dialog; nothing when cancelled.
  virtual std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                             std::string_view defaultText) = 0;
};

}  // namespace orv
