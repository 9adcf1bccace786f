#include "platform/sdl/window_input.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/sdl/sdl_keys.h"

namespace orv {
namespace {

// A fast flick comes as one event of many notches; more than this are not taken.
constexpr int kMaxWheelNotches = 8;

}  // namespace

void WindowInput::ForgetMenuPress() {
  if (mouseOwner_ == MouseOwner::Menu) mouseOwner_ = MouseOwner::None;
}

void WindowInput::SyncHeldSkip(GameEvents& game) {
  SDL_Window* window = window_.window();
  const bool focused = window && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
  const bool held =
      focused && !window_.ModalShown() && !window_.menuBar().Active() && (SDL_GetModState() & KMOD_CTRL) != 0;
  if (held == heldSkip_) return;
  heldSkip_ = held;
  game.HoldSkip(held);
}

void WindowInput::Dispatch(const SDL_Event& event, GameEvents& game) {
  const WindowLayout layout = window_.Layout();
  switch (event.type) {
    case SDL_QUIT:
      window_.NoteQuit();
      game.CloseRequested();
      return;
    case SDL_WINDOWEVENT: window_.HandleWindowEvent(event); return;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET: window_.ResetPresenter(); return;
    case SDL_MOUSEMOTION: MouseMoved(event, layout, game); return;
    case SDL_MOUSEBUTTONDOWN: ButtonDown(event, layout, game); return;
    case SDL_MOUSEWHEEL: WheelTurned(event, game); return;
    case SDL_MOUSEBUTTONUP: ButtonUp(event, game); return;
    case SDL_KEYDOWN:
      window_.DismissNotice();
      KeyDown(event, layout, game);
      return;
    case SDL_KEYUP: KeyUp(event, layout, game); return;
    default: return;
  }
}

void WindowInput::MouseMoved(const SDL_Event& event, const WindowLayout& layout, GameEvents& game) {
  int x = event.motion.x, y = event.motion.y;
  window_.EventToPixels(x, y);
  MenuBar& menu = window_.menuBar();
  const bool menuTakes = layout.barShown && (menu.Active() || mouseOwner_ == MouseOwner::Menu || menu.Covers(x, y));
  if (menuTakes) {
    const MenuInput input = menu.MouseMove(x, y, SDL_GetTicks());
    if (input.consumed) {
      window_.ShowCursorOverUi(true);
      if (menu.Active()) window_.RepaintPanels();
      return;
    }
  }
  window_.ShowCursorOverUi(false);
  int stageX = 0, stageY = 0;
  const bool inside = window_.ToStage(x, y, stageX, stageY);
  if (inside || window_.fullScreen() || mouseOwner_ == MouseOwner::Game) game.MouseMove(stageX, stageY);
}

void WindowInput::ButtonDown(const SDL_Event& event, const WindowLayout& layout, GameEvents& game) {
  int x = event.button.x, y = event.button.y;
  window_.EventToPixels(x, y);
  altAlone_ = false;
  window_.DismissNotice();
  MenuBar& menu = window_.menuBar();
  if (layout.barShown && (menu.Active() || menu.Covers(x, y))) {
    if (event.button.button == SDL_BUTTON_LEFT) {
      const MenuInput input = menu.MouseDown(x, y);
      if (input.consumed) {
        mouseOwner_ = MouseOwner::Menu;
        MenuInputDone(input, &game);
        return;
      }
    } else {
      menu.Close();
      MenuInputDone(MenuInput{}, nullptr);
      return;
    }
  }
  MouseButton button = MouseButton::Left;
  switch (event.button.button) {
    case SDL_BUTTON_LEFT: button = MouseButton::Left; break;
    case SDL_BUTTON_RIGHT: button = MouseButton::Right; break;
    case SDL_BUTTON_MIDDLE: button = MouseButton::Middle; break;
    default: return;
  }
  // A press the game can no longer take never becomes a click either.
  if (!game.TakesInputFrom(event.button.timestamp)) return;
  int stageX = 0, stageY = 0;
  window_.ToStage(x, y, stageX, stageY);
  if (button == MouseButton::Left) mouseOwner_ = MouseOwner::Game;
  game.MouseDown(button, stageX, stageY);
}

void WindowInput::WheelTurned(const SDL_Event& event, GameEvents& game) {
  if (window_.menuBar().Active() || !game.TakesInputFrom(event.wheel.timestamp)) return;
  int notches = event.wheel.y;
  if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  // Each notch is a page of the history.
  for (int i = 0; i < std::min(std::abs(notches), kMaxWheelNotches) && !game.Closed(); ++i)
    game.Wheel(notches > 0 ? WheelDirection::Up : WheelDirection::Down);
}

void WindowInput::ButtonUp(const SDL_Event& event, GameEvents& game) {
  if (event.button.button != SDL_BUTTON_LEFT) return;
  int x = event.button.x, y = event.button.y;
  window_.EventToPixels(x, y);
  const MouseOwner owner = std::exchange(mouseOwner_, MouseOwner::None);
  if (owner == MouseOwner::Menu) {
    MenuInputDone(window_.menuBar().MouseUp(x, y), &game);
  } else if (owner == MouseOwner::Game) {
    game.Click();
  }
}

void WindowInput::KeyDown(const SDL_Event& event, const WindowLayout& layout, GameEvents& game) {
  const SDL_Keycode key = event.key.keysym.sym;
  const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
  // A held key repeats: a repeat that came while the game was busy would advance it long
  // after the key was let go, so only repeats that find the game waiting count.
  if (event.key.repeat && SDL_TICKS_PASSED(gameIdleSince_, event.key.timestamp)) return;
  if (IsAlt(key)) {
    altAlone_ = !event.key.repeat || altAlone_;
    return;
  }
  altAlone_ = false;
  if ((alt && IsEnter(key)) || key == SDLK_F11) {
    if (!event.key.repeat) menus_.ToggleFullScreen(game);
    return;
  }
  // In full screen the bar hides until the pointer reaches the top; F10 and the Alt keys bring it
  // as they do in a window, and it hides again when the menu closes.
  const bool barKey = key == SDLK_F10 || (alt && KeyLetter(key));
  const bool barShown = layout.barShown || (barKey && menus_.RevealBarForKeys());
  MenuBar& menu = window_.menuBar();
  if (barShown && (alt || key == SDLK_F10 || menu.Active())) {
    const MenuInput input = menu.Key(ToMenuKey(key), KeyLetter(key), alt, key == SDLK_F10);
    if (input.consumed) {
      MenuInputDone(input, &game);
      return;
    }
  }
  HideBarRevealedForKeys();
  if (alt && KeyLetter(key)) return;  // menu accelerators that matched nothing
  if (key == SDLK_ESCAPE && window_.fullScreen()) {
    menus_.ToggleFullScreen(game);
    return;
  }
  if (key == SDLK_LCTRL || key == SDLK_RCTRL) return;  // held, it skips (SyncHeldSkip)
  if (!game.TakesInputFrom(event.key.timestamp)) return;
  game.KeyDown(TranslateKey(key));
}

void WindowInput::KeyUp(const SDL_Event& event, const WindowLayout& layout, GameEvents& game) {
  // Alt pressed and let go alone gives the bar the keyboard, as F10 does.
  if (IsAlt(event.key.keysym.sym) && std::exchange(altAlone_, false) &&
      (layout.barShown || menus_.RevealBarForKeys())) {
    const MenuInput input = window_.menuBar().Key(MenuKey::Other, 0, false, true);
    if (input.consumed) MenuInputDone(input, &game);
  }
}

void WindowInput::HideBarRevealedForKeys() {
  if (menus_.HideBarRevealedForKeys()) ForgetMenuPress();
}

void WindowInput::MenuInputDone(const MenuInput& input, GameEvents* game) {
  HideBarRevealedForKeys();
  window_.RepaintPanels();
  if (input.chosen.empty() || !game) return;
  menus_.Carry(input.chosen, *game);
}

}  // namespace orv
