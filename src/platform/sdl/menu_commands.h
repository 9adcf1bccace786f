#pragma once
// What the menu bar's choices do beyond the bar itself: the player's own items are carried out
// here, the game's go to the game; and in full screen, where the bar hides, the menu keys show
// it until its menu closes.
#include "platform/game_events.h"
#include "platform/sdl/desktop_window.h"

namespace orv {

class MenuCommands {
 public:
  explicit MenuCommands(DesktopWindow& window) : window_(window) {}

  // Carries out the item the bar chose.
  void Carry(std::string_view chosen, GameEvents& game);
  // Through the game's own items when it has them, so that its check marks and modes follow.
  void ToggleFullScreen(GameEvents& game);
  // Full screen hides the bar: the menu keys show it. True when it is shown now.
  bool RevealBarForKeys();
  // Hides a bar the keys showed once its menu has closed; true when the bar went away.
  bool HideBarRevealedForKeys();

 private:
  DesktopWindow& window_;
  bool barForKeys_ = false;  // the bar is shown in full screen because a menu key asked
};

}  // namespace orv
