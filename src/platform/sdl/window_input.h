#pragma once
// The main loop's events as the game and the menu bar take them: the window's own events, the
// pointer (who holds a press until it is let go), the wheel, keys and the held skip key. The
// modal boxes read their own events (modal_boxes.h).
#include <SDL.h>

#include <cstdint>

#include "platform/game_events.h"
#include "platform/sdl/desktop_window.h"
#include "platform/sdl/menu_commands.h"

namespace orv {

class WindowInput {
 public:
  WindowInput(DesktopWindow& window, MenuCommands& menus) : window_(window), menus_(menus) {}

  void Dispatch(const SDL_Event& event, GameEvents& game);
  // Holding Ctrl skips: tells the game when the held state changes.
  void SyncHeldSkip(GameEvents& game);
  // The main loop is about to hand input to the game, or the game has returned to the loop.
  void GameReturned() { gameIdleSince_ = SDL_GetTicks(); }
  // A box came up: the press under way is nobody's now, and its release clicks nothing.
  void ForgetPress() { mouseOwner_ = MouseOwner::None; }
  // The bar went away under a press it held.
  void ForgetMenuPress();

 private:
  void MouseMoved(const SDL_Event& event, const WindowLayout& layout, GameEvents& game);
  void ButtonDown(const SDL_Event& event, const WindowLayout& layout, GameEvents& game);
  void ButtonUp(const SDL_Event& event, GameEvents& game);
  void WheelTurned(const SDL_Event& event, GameEvents& game);
  void KeyDown(const SDL_Event& event, const WindowLayout& layout, GameEvents& game);
  void KeyUp(const SDL_Event& event, const WindowLayout& layout, GameEvents& game);
  // The bar took an input: it is drawn again and its choice carried out (not when `game` is
  // null: the input only closed the menu).
  void MenuInputDone(const MenuInput& input, GameEvents* game);
  void HideBarRevealedForKeys();

  DesktopWindow& window_;
  MenuCommands& menus_;
  uint32_t gameIdleSince_ = 0;
  bool heldSkip_ = false;
  bool altAlone_ = false;  // Alt is down and no other key came since
  enum class MouseOwner { None, Menu, Game };
  MouseOwner mouseOwner_ = MouseOwner::None;
};

}  // namespace orv
