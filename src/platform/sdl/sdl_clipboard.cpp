#include "platform/sdl/sdl_clipboard.h"

#include <SDL.h>

#include <string>

namespace orv {

void SdlClipboard::Send(std::string_view utf8) {
  // A clipboard that cannot be set (no video yet, a lost connection) costs the game nothing.
  SDL_SetClipboardText(std::string(utf8).c_str());
}

}  // namespace orv
