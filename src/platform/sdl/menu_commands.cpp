#include "platform/sdl/menu_commands.h"

#include "platform/sdl/player_menu.h"

namespace orv {

void MenuCommands::Carry(std::string_view chosen, GameEvents& game) {
  const std::optional<PlayerMenuChoice> choice = ReadPlayerMenuChoice(chosen);
  if (!choice) {
    game.MenuClick(chosen);
  } else if (choice->scaling) {
    window_.SetScaling(*choice->scaling);
  } else if (choice->toggleFullScreen) {
    ToggleFullScreen(game);
  }
}

void MenuCommands::ToggleFullScreen(GameEvents& game) {
  const char* item = window_.fullScreen() ? "WindowMode" : "FullMode";
  if (const MenuItem* found = window_.gameMenu().Find(item); found && found->enabled)
    game.MenuClick(item);
  else
    window_.SetFullScreen(!window_.fullScreen());
}

bool MenuCommands::RevealBarForKeys() {
  if (!window_.fullScreen() || window_.menuBarShown() || !window_.IsOpen()) return window_.menuBarShown();
  window_.SetMenuBarVisible(true);
  barForKeys_ = true;
  return true;
}

bool MenuCommands::HideBarRevealedForKeys() {
  if (!barForKeys_ || window_.menuBar().Active()) return false;
  barForKeys_ = false;
  if (!window_.fullScreen() || !window_.menuBarShown()) return false;
  window_.SetMenuBarVisible(false);
  return true;
}

}  // namespace orv
