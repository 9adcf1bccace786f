#include "platform/sdl/sdl_host.h"

#include <utility>

namespace orv {

SdlHost::SdlHost(FontRenderer& fonts, SdlHostOptions options)
    : gameRoot_(std::move(options.gameRoot)),
      window_(fonts, DesktopWindowOptions{options.scale, options.stayOnTop, options.scaling, options.present}),
      menus_(window_),
      input_(window_, menus_),
      boxes_(fonts, window_, input_) {}

void SdlHost::SetMenuBarVisible(bool visible) {
  if (!visible) input_.ForgetMenuPress();
  window_.SetMenuBarVisible(visible);
}

void SdlHost::OpenExternally(const std::string& target) { (void)opener_.Open(target, gameRoot_); }

void SdlHost::Dispatch(const SDL_Event& event, GameEvents& game) {
  opener_.Reap();
  input_.Dispatch(event, game);
}

}  // namespace orv
