#pragma once
// The boxes that stop the game until they are answered: messages, yes/no questions, a line of
// text, a file name, and the volume box. Each draws over the stage and reads the events itself
// until it is answered or a close request arrives; text in and out is the game's CP932.
#include <SDL.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/sdl/desktop_window.h"
#include "platform/sdl/window_input.h"
#include "platform/ui/dialog_box.h"
#include "platform/ui/volume_box.h"
#include "platform/volume_controls.h"

namespace orv {

class ModalBoxes {
 public:
  ModalBoxes(FontRenderer& fonts, DesktopWindow& window, WindowInput& input)
      : fonts_(fonts), window_(window), input_(input) {}

  void ShowMessage(std::string_view text, std::string_view caption);
  // A close request answers yes, the default.
  bool AskYesNo(std::string_view text, std::string_view caption);
  // Nothing when cancelled; a close request answers the default text.
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt, std::string_view defaultText);
  // The name typed, or nothing when cancelled or left empty.
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter);
  void ShowVolumeDialog(VolumeControls& controls);

 private:
  // Runs the box until it is answered or the window is asked to close; true when accepted.
  bool RunDialog(DialogBox& box);
  void HandleDialogEvent(DialogBox& box, const SDL_Event& event);
  void HandleVolumeEvent(VolumeBox& box, const SDL_Event& event);
  // A box came up over the stage, holding the pointer and the keys from now on.
  void Begin(DesktopWindow::ModalPanel panel);

  FontRenderer& fonts_;
  DesktopWindow& window_;
  WindowInput& input_;
};

}  // namespace orv
