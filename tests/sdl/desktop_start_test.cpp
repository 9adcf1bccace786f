// The window while the start screen's folder chooser, another program's window, is up over it,
// and the window a picked game then plays in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sdl/desktop_session.h"
#include "platform/sdl/portal_folder_chooser.h"

namespace orv {
namespace {

void Push(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  if (type == SDL_KEYDOWN) event.key.keysym.sym = SDLK_RETURN;
  if (type == SDL_MOUSEBUTTONDOWN) event.button.button = SDL_BUTTON_LEFT;
  SDL_PushEvent(&event);
}

int Queued(Uint32 first, Uint32 last) {
  SDL_PumpEvents();
  return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, first, last);
}

TEST(DesktopStart, TheWindowStaysAliveUnderAChooserWithoutKeepingItsInput) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_Window* window = session.host().window();
  ASSERT_TRUE(session.Start(error));
  EXPECT_EQ(session.host().window(), window) << "a picked game plays in the start screen's window";
  // The portal's dialog belongs to this window where the portal can name it.
  const std::string name = PortalWindowName(window);
  if (std::string_view(SDL_GetCurrentVideoDriver()) == "x11")
    EXPECT_EQ(name.rfind("x11:", 0), 0u) << name;
  else
    EXPECT_EQ(name, "");

  // Clicks and keys that reach the window while the chooser is up were meant for the chooser:
  // none of them may pick something on the screen behind it once it has gone.
  Push(SDL_KEYDOWN);
  Push(SDL_MOUSEBUTTONDOWN);
  EXPECT_TRUE(session.KeepWindowAlive());
  EXPECT_EQ(Queued(SDL_KEYDOWN, SDL_MOUSEWHEEL), 0);
  EXPECT_FALSE(session.host().QuitRequested());

  Push(SDL_QUIT);
  EXPECT_FALSE(session.KeepWindowAlive());
  EXPECT_TRUE(session.host().QuitRequested()) << "the main loop then closes the start screen";
}

}  // namespace
}  // namespace orv
