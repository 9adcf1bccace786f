#pragma once
// SDL's keys as each reader of the keyboard knows them: the game, the menu bar, the dialog
// boxes and the volume box. Kept apart from the window so that what a key means is decided in
// one place and can be checked without a display.
#include <SDL.h>

#include "platform/game_events.h"
#include "platform/ui/dialog_box.h"
#include "platform/ui/menu_bar.h"
#include "platform/ui/volume_box.h"

namespace orv {

// The game's key for an SDL key; Other for keys the game does not know. The space bar is the
// game's Enter: both advance.
KeyPress TranslateKey(SDL_Keycode key);
MenuKey ToMenuKey(SDL_Keycode key);
DialogKey ToDialogKey(SDL_Keycode key, Uint16 modifiers);
VolumeKey ToVolumeKey(SDL_Keycode key, Uint16 modifiers);
// The upper-case letter or digit a key stands for (menu accelerators, dialog buttons); 0 for
// every other key.
char KeyLetter(SDL_Keycode key);
bool IsAlt(SDL_Keycode key);
bool IsEnter(SDL_Keycode key);
// A button, key, text or wheel event: what a person's hand makes.
bool IsInputEvent(const SDL_Event& event);

}  // namespace orv
