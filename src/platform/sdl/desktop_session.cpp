#include "platform/sdl/desktop_session.h"

#include "platform/sdl/desktop_loop.h"
#include "platform/sjis.h"

namespace orv {

DesktopSession::DesktopSession(DesktopOptions options)
    : options_(std::move(options)),
      host_(std::make_unique<SdlHost>(
          fonts_, SdlHostOptions{options_.gameRoot, options_.scale, options_.stayOnTop, options_.scaling,
                                options_.present})),
      clock_(std::make_unique<SdlClock>(host_.get())) {}

DesktopSession::~DesktopSession() {
  clock_.reset();
  host_.reset();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

bool DesktopSession::InitVideo(std::string& error) {
  if (videoStarted_) return true;
  // Let the input method draw its own candidate list; our text field shows the composition.
  SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    error = std::string("cannot start the video system: ") + SDL_GetError();
    return false;
  }
  videoStarted_ = true;
  return true;
}

bool DesktopSession::Start(std::string& error) {
  if (host_->window()) return true;
  return InitVideo(error) && host_->Open(error);
}

bool DesktopSession::KeepWindowAlive() {
  bool closing = host_->QuitRequested() || clock_->QuitRequested();
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT || (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
      closing = true;
    else
      host_->HandleWindowEvent(event);
  }
  if (closing) host_->NoteQuit();
  host_->FlushFrame();
  return !closing;
}

int DesktopSession::Run(GameEvents& game) {
  game.Shown();
  return RunDesktopLoop(game, *host_, *clock_);
}

void DesktopSession::ShowAlreadyRunning() {
  std::string error;
  if (!InitVideo(error)) return;
  ShowStandaloneMessage(fonts_, Utf8ToCp932("既に起動しています。\nThis game is already running in another window."),
                        "Orvane");
}

void DesktopSession::ShowStartProblem(std::string_view utf8Text) {
  std::string error;
  if (!InitVideo(error)) return;
  ShowStandaloneMessage(fonts_, Utf8ToCp932(utf8Text), "Orvane");
}

void ShowStandaloneMessage(FontRenderer& fonts, std::string_view sjisText, std::string_view sjisCaption) {
  DialogBox box(fonts, DialogKind::Message, Cp932ToUtf8(sjisCaption), Cp932ToUtf8(sjisText));
  const int scale = 1;
  // The box is laid out in a roomy area once and for all, and the window cut to it: laid out
  // again in an area of its own size it would wrap its lines narrower than it measured them.
  const Rect roomy{0, 0, 800, 600};
  box.Place(roomy, scale);
  const Rect at = box.where();
  // No frame from the window manager: the box's own title bar is the only one.
  SDL_Window* window = SDL_CreateWindow(Cp932ToUtf8(sjisCaption).c_str(), SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, at.Width(), at.Height(),
                                        SDL_WINDOW_SHOWN | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_BORDERLESS);
  if (!window) return;
  SDL_RaiseWindow(window);
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  SDL_StopTextInput();
  while (renderer && !box.Done()) {
    box.Place(roomy, scale);
    const Panel panel = box.Render();
    if (SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STATIC,
                                                 panel.pixels.width(), panel.pixels.height())) {
      SDL_UpdateTexture(texture, nullptr, panel.pixels.bytes().data(), int(panel.pixels.stride()));
      const SDL_Rect where{panel.where.left - at.left, panel.where.top - at.top, panel.where.Width(),
                           panel.where.Height()};
      SDL_RenderClear(renderer);
      SDL_RenderCopy(renderer, texture, nullptr, &where);
      SDL_RenderPresent(renderer);
      SDL_DestroyTexture(texture);
    }
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, 250)) continue;
    switch (event.type) {
      case SDL_QUIT: box.Key(DialogKey::Escape); break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) box.Key(DialogKey::Escape);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) box.MouseDown(event.button.x + at.left, event.button.y + at.top);
        break;
      case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) box.MouseUp(event.button.x + at.left, event.button.y + at.top);
        break;
      case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER ||
            event.key.keysym.sym == SDLK_SPACE || event.key.keysym.sym == SDLK_ESCAPE)
          box.Key(DialogKey::Enter);
        break;
      default: break;
    }
  }
  if (renderer) SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
}

}  // namespace orv
