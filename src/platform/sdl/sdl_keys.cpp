#include "platform/sdl/sdl_keys.h"

namespace orv {

KeyPress TranslateKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE: return KeyPress{KeyCode::Enter};
    case SDLK_UP: return KeyPress{KeyCode::Up};
    case SDLK_DOWN: return KeyPress{KeyCode::Down};
    case SDLK_LEFT: return KeyPress{KeyCode::Left};
    case SDLK_RIGHT: return KeyPress{KeyCode::Right};
    case SDLK_ESCAPE: return KeyPress{KeyCode::Escape};
    case SDLK_F12: return KeyPress{KeyCode::F12};
    default: break;
  }
  if (key >= SDLK_a && key <= SDLK_z) return KeyPress{KeyCode::Letter, char('A' + (key - SDLK_a))};
  return KeyPress{KeyCode::Other};
}

MenuKey ToMenuKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_UP: return MenuKey::Up;
    case SDLK_DOWN: return MenuKey::Down;
    case SDLK_LEFT: return MenuKey::Left;
    case SDLK_RIGHT: return MenuKey::Right;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE: return MenuKey::Enter;
    case SDLK_ESCAPE: return MenuKey::Escape;
    default: break;
  }
  if ((key >= SDLK_a && key <= SDLK_z) || (key >= SDLK_0 && key <= SDLK_9)) return MenuKey::Letter;
  return MenuKey::Other;
}

char KeyLetter(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return char('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return char('0' + (key - SDLK_0));
  return 0;
}

DialogKey ToDialogKey(SDL_Keycode key, Uint16 modifiers) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return DialogKey::Enter;
    case SDLK_ESCAPE: return DialogKey::Escape;
    case SDLK_BACKSPACE: return DialogKey::Backspace;
    case SDLK_DELETE: return DialogKey::Delete;
    case SDLK_TAB: return (modifiers & KMOD_SHIFT) ? DialogKey::BackTab : DialogKey::Tab;
    case SDLK_LEFT: return DialogKey::Left;
    case SDLK_RIGHT: return DialogKey::Right;
    case SDLK_HOME: return DialogKey::Home;
    case SDLK_END: return DialogKey::End;
    default: break;
  }
  return KeyLetter(key) ? DialogKey::Letter : DialogKey::Other;
}

VolumeKey ToVolumeKey(SDL_Keycode key, Uint16 modifiers) {
  switch (key) {
    case SDLK_UP: return VolumeKey::Up;
    case SDLK_DOWN: return VolumeKey::Down;
    case SDLK_LEFT: return VolumeKey::Left;
    case SDLK_RIGHT: return VolumeKey::Right;
    case SDLK_PAGEUP: return VolumeKey::PageUp;
    case SDLK_PAGEDOWN: return VolumeKey::PageDown;
    case SDLK_HOME: return VolumeKey::Home;
    case SDLK_END: return VolumeKey::End;
    case SDLK_TAB: return (modifiers & KMOD_SHIFT) ? VolumeKey::BackTab : VolumeKey::Tab;
    case SDLK_SPACE: return VolumeKey::Space;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VolumeKey::Enter;
    case SDLK_ESCAPE: return VolumeKey::Escape;
    default: return VolumeKey::Other;
  }
}

bool IsAlt(SDL_Keycode key) { return key == SDLK_LALT || key == SDLK_RALT; }

bool IsEnter(SDL_Keycode key) { return key == SDLK_RETURN || key == SDLK_KP_ENTER; }

bool IsInputEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_KEYDOWN:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING:
    case SDL_MOUSEWHEEL: return true;
    default: return false;
  }
}

}  // namespace orv
