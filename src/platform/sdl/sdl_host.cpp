#include "platform/sdl/sdl_host.h"

#include <algorithm>
#include <utility>

#include "platform/game_folder.h"
#include "platform/sjis.h"

namespace orv {
namespace {

constexpr int kMaxScale = 8;
// Room left for the window manager's title bar and frame when choosing the scale.
constexpr int kDecorationAllowance = 40;
constexpr size_t kMaxCursorFileBytes = size_t(1) << 20;
constexpr size_t kMaxSaveNameBytes = 255;
constexpr size_t kMaxInputBytes = 256;

bool Inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

SDL_Rect ToSdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.Width(), r.Height()}; }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

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

DialogKey ToDialogKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return DialogKey::Enter;
    case SDLK_ESCAPE: return DialogKey::Escape;
    case SDLK_BACKSPACE: return DialogKey::Backspace;
    case SDLK_TAB: return DialogKey::Tab;
    case SDLK_LEFT: return DialogKey::Left;
    case SDLK_RIGHT: return DialogKey::Right;
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

}  // namespace

KeyPress TranslateKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KeyPress{KeyCode::Enter};
    case SDLK_UP: return KeyPress{KeyCode::Up};
    case SDLK_DOWN: return KeyPress{KeyCode::Down};
    case SDLK_LEFT: return KeyPress{KeyCode::Left};
    case SDLK_RIGHT: return KeyPress{KeyCode::Right};
    case SDLK_ESCAPE: return KeyPress{KeyCode::Escape};
    case SDLK_SPACE: return KeyPress{KeyCode::Space};
    default: break;
  }
  if (key >= SDLK_a && key <= SDLK_z) return KeyPress{KeyCode::Letter, char('A' + (key - SDLK_a))};
  return KeyPress{KeyCode::Other};
}

SdlHost::SdlHost(FontRenderer& fonts, SdlHostOptions options)
    : fonts_(fonts), options_(std::move(options)), menu_(fonts) {}

SdlHost::~SdlHost() {
  DestroyPanels();
  if (stageTexture_) SDL_DestroyTexture(stageTexture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  if (cursor_) SDL_FreeCursor(cursor_);
}

int SdlHost::ChooseScale() const {
  if (options_.scale > 0) return std::min(options_.scale, kMaxScale);
  SDL_Rect usable{0, 0, 0, 0};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return 1;
  int scale = 1;
  while (scale < kMaxScale && kStageWidth * (scale + 1) <= usable.w &&
         kStageHeight * (scale + 1) + MenuBar::Height(scale + 1) + kDecorationAllowance <= usable.h)
    ++scale;
  return scale;
}

bool SdlHost::Open(std::string& error) {
  scale_ = ChooseScale();
  Uint32 flags = SDL_WINDOW_SHOWN;
  if (options_.stayOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kStageWidth * scale_,
                             kStageHeight * scale_ + MenuBar::Height(scale_), flags);
  if (!window_) {
    error = std::string("cannot create the window: ") + SDL_GetError();
    return false;
  }
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    error = std::string("cannot draw into the window: ") + SDL_GetError();
    return false;
  }
  // SDL turns text input on by default; the input method would then swallow the game's keys.
  SDL_StopTextInput();
  Image black(kStageWidth, kStageHeight);
  Present(black);
  return true;
}

SdlHost::Layout SdlHost::ComputeLayout() const {
  Layout l;
  if (renderer_) SDL_GetRendererOutputSize(renderer_, &l.width, &l.height);
  if (l.width <= 0 || l.height <= 0) {
    l.width = kStageWidth * scale_;
    l.height = kStageHeight * scale_ + MenuBar::Height(scale_);
  }
  Rect area{0, 0, l.width, l.height};
  l.barShown = barVisible_;
  if (fullScreen_) {
    // The bar lies over the stage, which keeps the whole screen.
    l.ui = std::max(1, std::min(l.width / kStageWidth, l.height / kStageHeight));
    l.bar = Rect{0, 0, l.width, barVisible_ ? MenuBar::Height(l.ui) : 0};
  } else {
    l.ui = scale_;
    const int barHeight = barVisible_ ? MenuBar::Height(scale_) : 0;
    l.bar = Rect{0, 0, l.width, barHeight};
    area.top = barHeight;
  }
  const int whole = std::min(area.Width() / kStageWidth, area.Height() / kStageHeight);
  int w = 0, h = 0;
  if (whole >= 1) {
    w = kStageWidth * whole;
    h = kStageHeight * whole;
  } else if (area.Width() * kStageHeight <= area.Height() * kStageWidth) {
    w = std::max(1, area.Width());
    h = std::max(1, area.Width() * kStageHeight / kStageWidth);
  } else {
    h = std::max(1, area.Height());
    w = std::max(1, area.Height() * kStageWidth / kStageHeight);
  }
  l.stageScale = whole;
  const int left = area.left + (area.Width() - w) / 2, top = area.top + (area.Height() - h) / 2;
  l.stage = Rect{left, top, left + w, top + h};
  return l;
}

bool SdlHost::ToStage(int x, int y, int& stageX, int& stageY) const {
  const Rect stage = ComputeLayout().stage;
  stageX = std::clamp(FloorDiv((x - stage.left) * kStageWidth, stage.Width()), 0, kStageWidth - 1);
  stageY = std::clamp(FloorDiv((y - stage.top) * kStageHeight, stage.Height()), 0, kStageHeight - 1);
  return Inside(stage, x, y);
}

void SdlHost::Present(const Image& surface) {
  if (!renderer_ || surface.empty()) return;
  if (!stageTexture_ || stageTextureWidth_ != surface.width() || stageTextureHeight_ != surface.height()) {
    if (stageTexture_) SDL_DestroyTexture(stageTexture_);
    stageTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, surface.width(),
                                      surface.height());
    if (!stageTexture_) return;
    SDL_SetTextureScaleMode(stageTexture_, SDL_ScaleModeNearest);
    stageTextureWidth_ = surface.width();
    stageTextureHeight_ = surface.height();
  }
  SDL_UpdateTexture(stageTexture_, nullptr, surface.bytes().data(), int(surface.stride()));
  Repaint();
}

void SdlHost::DestroyPanels() {
  for (PanelTexture& panel : panels_) SDL_DestroyTexture(panel.texture);
  panels_.clear();
}

void SdlHost::RebuildPanels(const Layout& layout) {
  DestroyPanels();
  menu_.Place(layout.bar, layout.ui, layout.width, layout.height);
  std::vector<Panel> drawn;
  if (layout.barShown) drawn = menu_.Render();
  if (dialog_) {
    dialog_->Place(layout.stage, layout.ui);
    drawn.push_back(dialog_->Render());
  }
  if (volumeBox_) {
    volumeBox_->Place(layout.stage, layout.ui);
    drawn.push_back(volumeBox_->Render());
  }
  for (Panel& panel : drawn) {
    if (panel.pixels.empty()) continue;
    SDL_Texture* texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STATIC,
                                             panel.pixels.width(), panel.pixels.height());
    if (!texture) continue;
    SDL_UpdateTexture(texture, nullptr, panel.pixels.bytes().data(), int(panel.pixels.stride()));
    panels_.push_back(PanelTexture{panel.where, texture});
  }
  uiDirty_ = false;
}

void SdlHost::Repaint() {
  if (!renderer_) return;
  const Layout layout = ComputeLayout();
  if (uiDirty_) RebuildPanels(layout);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (stageTexture_) {
    const SDL_Rect stage = ToSdl(layout.stage);
    SDL_RenderCopy(renderer_, stageTexture_, nullptr, &stage);
  }
  for (const PanelTexture& panel : panels_) {
    const SDL_Rect where = ToSdl(panel.where);
    SDL_RenderCopy(renderer_, panel.texture, nullptr, &where);
  }
  SDL_RenderPresent(renderer_);
}

bool SdlHost::HandleWindowEvent(const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT) return false;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
      uiDirty_ = true;
      Repaint();
      break;
    default: break;
  }
  return true;
}

bool SdlHost::TakePendingClose() { return std::exchange(pendingClose_, false); }

void SdlHost::MenuInputDone(const MenuInput& input, GameEvents* game) {
  uiDirty_ = true;
  Repaint();
  if (!input.chosen.empty() && game) game->MenuClick(input.chosen);
}

void SdlHost::Dispatch(const SDL_Event& event, GameEvents& game) {
  opener_.Reap();
  const Layout layout = ComputeLayout();
  switch (event.type) {
    case SDL_QUIT: game.CloseRequested(); return;
    case SDL_WINDOWEVENT: HandleWindowEvent(event); return;
    case SDL_MOUSEMOTION: {
      const int x = event.motion.x, y = event.motion.y;
      const bool menuTakes = layout.barShown && (menu_.Active() || mouseOwner_ == MouseOwner::Menu || menu_.Covers(x, y));
      if (menuTakes) {
        const MenuInput input = menu_.MouseMove(x, y);
        if (input.consumed) {
          UpdateCursor(true);
          if (menu_.Active()) {
            uiDirty_ = true;
            Repaint();
          }
          return;
        }
      }
      UpdateCursor(false);
      int stageX = 0, stageY = 0;
      const bool inside = ToStage(x, y, stageX, stageY);
      if (inside || fullScreen_ || mouseOwner_ == MouseOwner::Game) game.MouseMove(stageX, stageY);
      return;
    }
    case SDL_MOUSEBUTTONDOWN: {
      const int x = event.button.x, y = event.button.y;
      if (layout.barShown && (menu_.Active() || menu_.Covers(x, y))) {
        if (event.button.button == SDL_BUTTON_LEFT) {
          const MenuInput input = menu_.MouseDown(x, y);
          if (input.consumed) {
            mouseOwner_ = MouseOwner::Menu;
            MenuInputDone(input, &game);
            return;
          }
        } else {
          menu_.Close();
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
      int stageX = 0, stageY = 0;
      ToStage(x, y, stageX, stageY);
      if (button == MouseButton::Left) mouseOwner_ = MouseOwner::Game;
      game.MouseDown(button, stageX, stageY);
      return;
    }
    case SDL_MOUSEWHEEL: {
      if (menu_.Active()) return;
      int notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      // A fast flick comes as one event of many notches; each is a page of the history.
      for (int i = 0; i < std::min(std::abs(notches), 8) && !game.Closed(); ++i)
        game.Wheel(notches > 0 ? WheelDirection::Up : WheelDirection::Down);
      return;
    }
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) return;
      const MouseOwner owner = std::exchange(mouseOwner_, MouseOwner::None);
      if (owner == MouseOwner::Menu) {
        MenuInputDone(menu_.MouseUp(event.button.x, event.button.y), &game);
      } else if (owner == MouseOwner::Game) {
        game.Click();
      }
      return;
    }
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
      if (layout.barShown && (alt || key == SDLK_F10 || menu_.Active())) {
        const MenuInput input = menu_.Key(ToMenuKey(key), KeyLetter(key), alt, key == SDLK_F10);
        if (input.consumed) {
          MenuInputDone(input, &game);
          return;
        }
      }
      if (alt && KeyLetter(key)) return;  // menu accelerators that matched nothing
      game.KeyDown(TranslateKey(key));
      return;
    }
    default: return;
  }
}

void SdlHost::SetCaption(std::string_view caption) {
  if (window_) SDL_SetWindowTitle(window_, Cp932ToUtf8(caption).c_str());
}

void SdlHost::MenuChanged(const MenuModel& menu) {
  menu_.SetModel(menu);
  uiDirty_ = true;
  Repaint();
}

bool SdlHost::RunDialog(DialogBox& box) {
  dialog_ = &box;
  menu_.Close();
  mouseOwner_ = MouseOwner::None;
  uiDirty_ = true;
  Repaint();
  const bool text = box.FieldRect().Width() > 0;
  if (text) {
    SDL_Rect field = ToSdl(box.FieldRect());
    SDL_SetTextInputRect(&field);
    SDL_StartTextInput();
  }
  UpdateCursor(true);
  while (!box.Done()) {
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, 250)) continue;
    HandleDialogEvent(box, event);
  }
  if (text) SDL_StopTextInput();
  dialog_ = nullptr;
  uiDirty_ = true;
  Repaint();
  return box.Accepted();
}

void SdlHost::HandleDialogEvent(DialogBox& box, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: pendingClose_ = true; return;
    case SDL_WINDOWEVENT: HandleWindowEvent(event); return;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button != SDL_BUTTON_LEFT) return;
      box.MouseDown(event.button.x, event.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT) return;
      box.MouseUp(event.button.x, event.button.y);
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      if ((event.key.keysym.mod & KMOD_CTRL) && key == SDLK_v) {
        if (char* clip = SDL_GetClipboardText()) {
          box.TextInput(clip);
          SDL_free(clip);
        }
      } else if (!(event.key.keysym.mod & (KMOD_CTRL | KMOD_ALT))) {
        box.Key(ToDialogKey(key), KeyLetter(key));
      }
      break;
    }
    case SDL_TEXTINPUT: box.TextInput(event.text.text); break;
    case SDL_TEXTEDITING: box.Composition(event.edit.text); break;
    default: return;
  }
  uiDirty_ = true;
  Repaint();
}

void SdlHost::ShowVolumeDialog(VolumeControls& controls) {
  if (!window_) return;
  VolumeBox box(fonts_, controls);
  volumeBox_ = &box;
  menu_.Close();
  mouseOwner_ = MouseOwner::None;
  uiDirty_ = true;
  Repaint();
  UpdateCursor(true);
  while (!box.Done() && !pendingClose_) {
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, 250)) continue;
    HandleVolumeEvent(box, event);
  }
  volumeBox_ = nullptr;
  uiDirty_ = true;
  Repaint();
}

void SdlHost::HandleVolumeEvent(VolumeBox& box, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: pendingClose_ = true; return;
    case SDL_WINDOWEVENT: HandleWindowEvent(event); return;
    case SDL_MOUSEMOTION: box.MouseMove(event.motion.x, event.motion.y); break;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button != SDL_BUTTON_LEFT) return;
      box.MouseDown(event.button.x, event.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT) return;
      box.MouseUp(event.button.x, event.button.y);
      break;
    case SDL_KEYDOWN: box.Key(ToVolumeKey(event.key.keysym.sym, event.key.keysym.mod)); break;
    default: return;
  }
  uiDirty_ = true;
  Repaint();
}

void SdlHost::ShowMessage(std::string_view text, std::string_view caption) {
  if (!window_) return;
  DialogBox box(fonts_, DialogKind::Message, Cp932ToUtf8(caption), Cp932ToUtf8(text));
  RunDialog(box);
}

bool SdlHost::AskYesNo(std::string_view text, std::string_view caption) {
  if (!window_) return true;
  DialogBox box(fonts_, DialogKind::YesNo, Cp932ToUtf8(caption), Cp932ToUtf8(text));
  return RunDialog(box);
}

std::optional<std::string> SdlHost::AskText(std::string_view caption, std::string_view prompt,
                                            std::string_view defaultText) {
  if (!window_) return std::string(defaultText);
  DialogBox box(fonts_, DialogKind::Text, Cp932ToUtf8(caption), Cp932ToUtf8(prompt), Cp932ToUtf8(defaultText),
                kMaxInputBytes);
  if (!RunDialog(box)) return std::nullopt;
  return Utf8ToCp932(box.Text());
}

std::optional<std::string> SdlHost::AskSaveFile(std::string_view title, std::string_view filter) {
  if (!window_) return std::nullopt;
  // The filter reads "description|pattern"; the description tells what kind of file to name.
  const std::string_view description = filter.substr(0, filter.find('|'));
  const std::string prompt = "ファイル名: " + Cp932ToUtf8(description);
  DialogBox box(fonts_, DialogKind::Text, Cp932ToUtf8(title), prompt, {}, kMaxSaveNameBytes);
  if (!RunDialog(box) || box.Text().empty()) return std::nullopt;
  return Utf8ToCp932(box.Text());
}

void SdlHost::SetStayOnTop(bool onTop) {
  options_.stayOnTop = onTop;
  if (window_) SDL_SetWindowAlwaysOnTop(window_, onTop ? SDL_TRUE : SDL_FALSE);
}

void SdlHost::ApplyWindowedSize() {
  if (!window_) return;
  SDL_SetWindowSize(window_, kStageWidth * scale_, kStageHeight * scale_ + (barVisible_ ? MenuBar::Height(scale_) : 0));
}

void SdlHost::SetFullScreen(bool fullScreen) {
  if (!window_ || fullScreen == fullScreen_) return;
  if (fullScreen) {
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    fullScreen_ = false;
    ApplyWindowedSize();
  }
  fullScreen_ = fullScreen;
  menu_.Close();
  RebuildCursor();
  uiDirty_ = true;
  Repaint();
}

void SdlHost::SetMenuBarVisible(bool visible) {
  if (visible == barVisible_) return;
  barVisible_ = visible;
  if (!visible) {
    menu_.Close();
    if (mouseOwner_ == MouseOwner::Menu) mouseOwner_ = MouseOwner::None;
  }
  if (!fullScreen_) ApplyWindowedSize();
  uiDirty_ = true;
  Repaint();
}

void SdlHost::SetWindowPosition(int left, int top) {
  if (window_ && !fullScreen_) SDL_SetWindowPosition(window_, left, top);
}

void SdlHost::GetWindowPosition(int& left, int& top) {
  left = top = 0;
  if (window_) SDL_GetWindowPosition(window_, &left, &top);
}

void SdlHost::CenterWindow() {
  if (!window_ || fullScreen_) return;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

void SdlHost::UpdateCursor(bool overUi) {
  cursorOverUi_ = overUi;
  SDL_Cursor* wanted = cursor_ && !overUi ? cursor_ : SDL_GetDefaultCursor();
  if (wanted && SDL_GetCursor() != wanted) SDL_SetCursor(wanted);
}

void SdlHost::RebuildCursor() {
  if (!cursorImage_) return;
  const int scale = std::max(1, ComputeLayout().stageScale);
  if (cursor_ && scale == cursorScale_) return;
  const CursorImage scaled = ScaleCursor(*cursorImage_, scale);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(scaled.argb.data()), scaled.width, scaled.height, 32,
                                         scaled.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_Cursor* created = SDL_CreateColorCursor(surface, scaled.hotX, scaled.hotY);
  SDL_FreeSurface(surface);
  if (!created) return;
  SDL_Cursor* old = std::exchange(cursor_, created);
  cursorScale_ = scale;
  UpdateCursor(cursorOverUi_);
  if (old) SDL_FreeCursor(old);
}

bool SdlHost::SetCursorFromFile(const std::filesystem::path& file) {
  const auto bytes = ReadFileBytes(file, kMaxCursorFileBytes);
  if (!bytes) return false;
  auto image = ParseCursorFile(*bytes);
  if (!image) return false;
  const std::optional<CursorImage> previous = std::exchange(cursorImage_, std::move(*image));
  SDL_Cursor* before = cursor_;
  cursorScale_ = 0;
  cursor_ = nullptr;
  RebuildCursor();
  if (!cursor_) {  // the window system refused it: keep what was there
    cursorImage_ = previous;
    cursor_ = before;
    return false;
  }
  if (before) SDL_FreeCursor(before);
  return true;
}

void SdlHost::ResetCursor() {
  cursorImage_.reset();
  SDL_Cursor* old = std::exchange(cursor_, nullptr);
  UpdateCursor(cursorOverUi_);
  if (old) SDL_FreeCursor(old);
}

void SdlHost::OpenExternally(const std::string& target) { opener_.Open(target, options_.gameRoot); }

}  // namespace orv
