#include "platform/sdl/sdl_host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/game_folder.h"
#include "platform/sjis.h"
#include "platform/ui/notice_bar.h"
#include "platform/ui/window_pixels.h"

namespace orv {
namespace {

constexpr int kMaxScale = 8;
// Room left for the window manager's title bar and frame when choosing the scale.
constexpr int kDecorationAllowance = 40;
constexpr size_t kMaxCursorFileBytes = size_t(1) << 20;
constexpr size_t kMaxSaveNameBytes = 255;
constexpr size_t kMaxInputBytes = 256;
constexpr int kDefaultRefreshHz = 60;

constexpr std::string_view kBusyNoteText =
    "スクリプトの実行が長く続いています。Esc キーを押すか、ウィンドウを閉じると終了します。\n"
    "The script has been running for a while. Press Escape or close the window to end the game.";

SDL_Rect ToSdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.Width(), r.Height()}; }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

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

bool IsAlt(SDL_Keycode key) { return key == SDLK_LALT || key == SDLK_RALT; }
bool IsEnter(SDL_Keycode key) { return key == SDLK_RETURN || key == SDLK_KP_ENTER; }

MenuItem PlayerItem(std::string name, std::string_view captionUtf8, bool checked = false) {
  MenuItem item;
  item.name = std::string(kPlayerMenuPrefix) + name;
  item.caption = Utf8ToCp932(captionUtf8);
  item.checked = checked;
  return item;
}

// The player's own section, after the game's items.
MenuItem PlayerMenu(Scaling scaling, bool fullScreen) {
  MenuItem view = PlayerItem("view", "表示(&V)");
  MenuItem separator = PlayerItem("separator", "");
  separator.separator = true;
  view.children = {
      PlayerItem("scaling.integer", "整数倍で拡大 (Integer)", scaling == Scaling::Integer),
      PlayerItem("scaling.fit", "縦横比を保って拡大 (Fit)", scaling == Scaling::Fit),
      PlayerItem("scaling.stretch", "画面いっぱいに拡大 (Stretch)", scaling == Scaling::Stretch),
      separator,
      PlayerItem("fullscreen", "フルスクリーン (Alt+Enter, F11)", fullScreen),
  };
  return view;
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

std::optional<Scaling> ScalingByName(std::string_view name) {
  if (name == "integer") return Scaling::Integer;
  if (name == "fit") return Scaling::Fit;
  if (name == "stretch") return Scaling::Stretch;
  return std::nullopt;
}

const char* ScalingName(Scaling scaling) {
  switch (scaling) {
    case Scaling::Fit: return "fit";
    case Scaling::Stretch: return "stretch";
    default: return "integer";
  }
}

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
    case SDLK_BACKSPACE: return KeyPress{KeyCode::Backspace};
    case SDLK_PAGEUP: return KeyPress{KeyCode::PageUp};
    case SDLK_PAGEDOWN: return KeyPress{KeyCode::PageDown};
    default: break;
  }
  if (key >= SDLK_a && key <= SDLK_z) return KeyPress{KeyCode::Letter, char('A' + (key - SDLK_a))};
  return KeyPress{KeyCode::Other};
}

SdlHost::SdlHost(FontRenderer& fonts, SdlHostOptions options)
    : fonts_(fonts), options_(std::move(options)), menu_(fonts) {}

SdlHost::~SdlHost() {
  presenter_.reset();
  if (window_) SDL_DestroyWindow(window_);
  if (cursor_) SDL_FreeCursor(cursor_);
}

int LargestScaleThatFits(int usableWidth, int usableHeight) {
  int scale = 1;
  while (scale < kMaxScale && kStageWidth * (scale + 1) <= usableWidth &&
         kStageHeight * (scale + 1) + MenuBar::Height(scale + 1) + kDecorationAllowance <= usableHeight)
    ++scale;
  return scale;
}

int SdlHost::ChooseScale() {
  SDL_Rect usable{0, 0, 0, 0};
  const bool known = SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0;
  const int fits = known ? LargestScaleThatFits(usable.w, usable.h) : kMaxScale;
  if (options_.scale <= 0) return known ? fits : 1;
  if (options_.scale <= fits) return options_.scale;
  // A window larger than the screen opens partly off it, its menu bar or frame out of reach.
  scaleNote_ = "--scale " + std::to_string(options_.scale) + " does not fit " +
               (known ? "the screen (" + std::to_string(usable.w) + " x " + std::to_string(usable.h) + ")"
                      : "the player (" + std::to_string(kMaxScale) + " at most)") +
               ": the window opens at " + std::to_string(fits) + "x";
  return fits;
}

bool SdlHost::Open(std::string& error) {
  scale_ = ChooseScale();
  Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (options_.stayOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kStageWidth * scale_,
                             kStageHeight * scale_ + MenuBar::Height(scale_), flags);
  if (!window_) {
    error = std::string("cannot create the window: ") + SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, kStageWidth / 2, kStageHeight / 2);
  PresentChoice choice;
  if (options_.present) {
    choice = PresentChoice{*options_.present, "as the caller asks"};
  } else {
    const bool atOneTimes = scale_ == 1 && scaling() == Scaling::Integer;
    choice = ChoosePresentPath(GatherPresentFacts(atOneTimes));
  }
  presentReason_ = choice.reason;
  if (choice.path == PresentPath::Surface) {
    presenter_ = MakeSurfacePresenter(window_);
    if (!presenter_) presentReason_ += "; the window's pixels are out of reach, so through the renderer after all";
  }
  if (!presenter_) presenter_ = MakeRendererPresenter(window_);
  if (!presenter_) {
    error = std::string("cannot draw into the window: ") + SDL_GetError();
    return false;
  }
  SDL_DisplayMode mode{};
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  const int hz = SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate
                                                                                          : kDefaultRefreshHz;
  frameIntervalMs_ = uint32_t(CeilDiv(1000, hz));
  // SDL turns text input on by default; the input method would then swallow the game's keys.
  SDL_StopTextInput();
  RebuildMenuModel();
  Image black(kStageWidth, kStageHeight);
  Present(black);
  Repaint();
  return true;
}

Scaling SdlHost::scaling() const {
  if (options_.scaling) return *options_.scaling;
  return fullScreen_ ? Scaling::Fit : Scaling::Integer;
}

void SdlHost::SetScaling(Scaling scaling) {
  options_.scaling = scaling;
  RebuildMenuModel();
  uiDirty_ = true;
  Repaint();
}

float SdlHost::PixelRatio() const {
  int windowWidth = 0, windowHeight = 0, pixelWidth = 0, pixelHeight = 0;
  if (!window_ || !presenter_) return 1.0f;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  presenter_->OutputSize(pixelWidth, pixelHeight);
  if (windowWidth <= 0 || pixelWidth <= 0) return 1.0f;
  return float(pixelWidth) / float(windowWidth);
}

void SdlHost::EventToPixels(int& x, int& y) const {
  const float ratio = PixelRatio();
  if (ratio == 1.0f) return;
  x = int(std::lround(float(x) * ratio));
  y = int(std::lround(float(y) * ratio));
}

SdlHost::Layout SdlHost::ComputeLayout() const {
  Layout l;
  if (presenter_) presenter_->OutputSize(l.width, l.height);
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
    l.ui = std::clamp(std::min(l.width / kStageWidth, l.height / (kStageHeight + MenuBar::Height(1))), 1, kMaxScale);
    const int barHeight = barVisible_ ? MenuBar::Height(l.ui) : 0;
    l.bar = Rect{0, 0, l.width, barHeight};
    area.top = barHeight;
  }
  const int aw = std::max(1, area.Width()), ah = std::max(1, area.Height());
  const int whole = std::min(aw / kStageWidth, ah / kStageHeight);
  int w = aw, h = ah;
  const Scaling mode = scaling();
  if (mode == Scaling::Integer && whole >= 1) {
    w = kStageWidth * whole;
    h = kStageHeight * whole;
  } else if (mode != Scaling::Stretch) {
    if (int64_t(aw) * kStageHeight <= int64_t(ah) * kStageWidth) {
      h = std::max(1, aw * kStageHeight / kStageWidth);
    } else {
      w = std::max(1, ah * kStageWidth / kStageHeight);
    }
  }
  l.stageScale = w % kStageWidth == 0 && h == w / kStageWidth * kStageHeight ? w / kStageWidth : 0;
  const int left = area.left + (aw - w) / 2, top = area.top + (ah - h) / 2;
  l.stage = Rect{left, top, left + w, top + h};
  return l;
}

bool SdlHost::ToStage(int x, int y, int& stageX, int& stageY) const {
  const Rect stage = ComputeLayout().stage;
  stageX = std::clamp(FloorDiv((x - stage.left) * kStageWidth, stage.Width()), 0, kStageWidth - 1);
  stageY = std::clamp(FloorDiv((y - stage.top) * kStageHeight, stage.Height()), 0, kStageHeight - 1);
  return stage.Contains(x, y);
}

// --- frames --------------------------------------------------------------------------------

void SdlHost::Present(const Image& surface) {
  if (!presenter_ || surface.empty()) return;
  Rect changed;
  if (shown_.width() != surface.width() || shown_.height() != surface.height()) {
    shown_ = surface;
    changed = shown_.bounds();
  } else {
    // Only what differs from the last frame goes on: a transition step changes a strip, a
    // typed character a cell.
    const size_t rowBytes = size_t(surface.width()) * 3;
    for (int y = 0; y < surface.height(); ++y) {
      const uint8_t* from = surface.row(y);
      uint8_t* to = shown_.row(y);
      if (std::memcmp(from, to, rowBytes) == 0) continue;
      size_t first = 0, last = rowBytes;
      while (from[first] == to[first]) ++first;
      while (from[last - 1] == to[last - 1]) --last;
      const int left = int(first / 3), right = int((last + 2) / 3);
      std::memcpy(to + size_t(left) * 3, from + size_t(left) * 3, size_t(right - left) * 3);
      changed = Union(changed, Rect{left, y, right, y + 1});
    }
  }
  if (changed.Empty()) return;
  presenter_->StageChanged(shown_, changed);
  framePending_ = true;
  FlushFrame();
}

std::optional<uint32_t> SdlHost::FrameDueInMs() const {
  const uint32_t now = SDL_GetTicks();
  std::optional<uint32_t> due;
  if (framePending_) {
    const uint32_t since = now - lastFrameMs_;
    due = since >= FrameSpacingMs() ? 0 : FrameSpacingMs() - since;
  }
  if (auto menuDue = menu_.SwitchDueMs()) {
    const uint32_t wait = int32_t(*menuDue - now) > 0 ? *menuDue - now : 0;
    due = due ? std::min(*due, wait) : wait;
  }
  return due;
}

uint32_t SdlHost::FrameSpacingMs() const {
  // A display that takes long to draw a frame gets fewer of them: drawing never takes more
  // than half the time, and the pauses between an effect's steps make up for it.
  return std::max(frameIntervalMs_, 2 * frameCostMs_);
}

void SdlHost::FlushFrame() {
  KeepPlacement();
  const uint32_t now = SDL_GetTicks();
  if (!notice_.empty() && int32_t(now - noticeUntil_) >= 0) DismissNotice();
  if (!captionNote_.empty() && int32_t(now - captionNoteUntil_) >= 0) {
    captionNote_.clear();
    ShowTitle();
  }
  if (menu_.Tick(now)) {
    uiDirty_ = true;
    framePending_ = true;
  }
  if (framePending_ && now - lastFrameMs_ >= FrameSpacingMs()) Repaint();
}

void SdlHost::Repaint() {
  if (!presenter_) return;
  // Frames keep the display's cadence from their start, whatever drawing them costs.
  lastFrameMs_ = SDL_GetTicks();
  const Layout layout = ComputeLayout();
  if (uiDirty_) RebuildPanels(layout);
  presenter_->Draw(PresentLayout{layout.width, layout.height, layout.stage, layout.stageScale},
                   std::exchange(redrawAll_, false));
  // What drawing costs, smoothed so that one slow frame does not halve the rate.
  frameCostMs_ = (3 * frameCostMs_ + (SDL_GetTicks() - lastFrameMs_) + 2) / 4;
  framePending_ = false;
  ++framesDrawn_;
}

// --- panels: menu bar, boxes and notes -----------------------------------------------------

void SdlHost::RebuildPanels(const Layout& layout) {
  menu_.Place(layout.bar, layout.ui, layout.width, layout.height);
  std::vector<Panel> drawn;
  // Notes sit at the top of the stage, below the bar where it lies over the stage.
  Rect noteArea = layout.stage;
  if (layout.barShown && fullScreen_) noteArea.top = std::max(noteArea.top, layout.bar.bottom);
  if (skipping_) drawn.push_back(DrawSkipTag(fonts_, noteArea, layout.ui));
  if (busyNote_) {
    drawn.push_back(DrawNoticeBar(fonts_, kBusyNoteText, noteArea, layout.ui));
    noteArea.top = drawn.back().where.bottom;
  }
  if (!notice_.empty()) drawn.push_back(DrawNoticeBar(fonts_, notice_, noteArea, layout.ui));
  if (layout.barShown) {
    std::vector<Panel> bar = menu_.Render();
    for (Panel& panel : bar) drawn.push_back(std::move(panel));
  }
  if (dialog_) {
    dialog_->Place(layout.stage, layout.ui);
    drawn.push_back(dialog_->Render());
  }
  if (volumeBox_) {
    volumeBox_->Place(layout.stage, layout.ui);
    drawn.push_back(volumeBox_->Render());
  }
  std::erase_if(drawn, [](const Panel& panel) { return panel.pixels.empty(); });
  presenter_->SetPanels(std::move(drawn));
  uiDirty_ = false;
}

void SdlHost::ShowBusyNote(bool shown) {
  if (shown == busyNote_) return;
  busyNote_ = shown;
  uiDirty_ = true;
  Repaint();
}

void SdlHost::ShowNotice(std::string_view utf8Text, uint32_t ms) {
  notice_ = std::string(utf8Text);
  noticeUntil_ = SDL_GetTicks() + ms;
  uiDirty_ = true;
  Repaint();
}

void SdlHost::DismissNotice() {
  if (notice_.empty()) return;
  notice_.clear();
  uiDirty_ = true;
  framePending_ = true;
}

void SdlHost::ShowSkipping(bool skipping) {
  if (skipping == skipping_) return;
  skipping_ = skipping;
  uiDirty_ = true;
  framePending_ = true;
  FlushFrame();
}

// --- window events and input ---------------------------------------------------------------

bool SdlHost::HandleWindowEvent(const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT) return false;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE: NoteQuit(); break;
    case SDL_WINDOWEVENT_MOVED: KeepPlacement(); break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
      uiDirty_ = true;
      redrawAll_ = true;
      Repaint();
      break;
    default: break;
  }
  return true;
}

bool SdlHost::TakePendingClose() { return quitRequested_; }

void SdlHost::SyncHeldSkip(GameEvents& game) {
  const bool focused = window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
  const bool held = focused && !dialog_ && !menu_.Active() && (SDL_GetModState() & KMOD_CTRL) != 0;
  if (held == heldSkip_) return;
  heldSkip_ = held;
  game.HoldSkip(held);
}

void SdlHost::RebuildMenuModel() {
  MenuModel merged = gameMenu_;
  merged.items.push_back(PlayerMenu(scaling(), fullScreen_));
  menu_.SetModel(merged);
  uiDirty_ = true;
}

bool SdlHost::HandlePlayerMenu(std::string_view name, GameEvents& game) {
  if (!name.starts_with(kPlayerMenuPrefix)) return false;
  const std::string_view item = name.substr(kPlayerMenuPrefix.size());
  if (item.starts_with("scaling.")) {
    if (auto chosen = ScalingByName(item.substr(8))) SetScaling(*chosen);
  } else if (item == "fullscreen") {
    ToggleFullScreen(game);
  }
  return true;
}

void SdlHost::ToggleFullScreen(GameEvents& game) {
  // Through the game's own items when it has them, so that its check marks and modes follow.
  const char* item = fullScreen_ ? "WindowMode" : "FullMode";
  if (const MenuItem* found = gameMenu_.Find(item); found && found->enabled)
    game.MenuClick(item);
  else
    SetFullScreen(!fullScreen_);
}

bool SdlHost::RevealBarForKeys() {
  if (!fullScreen_ || barVisible_ || !window_) return barVisible_;
  SetMenuBarVisible(true);
  barForKeys_ = true;
  return true;
}

void SdlHost::HideBarRevealedForKeys() {
  if (!barForKeys_ || menu_.Active()) return;
  barForKeys_ = false;
  if (fullScreen_) SetMenuBarVisible(false);
}

void SdlHost::MenuInputDone(const MenuInput& input, GameEvents* game) {
  HideBarRevealedForKeys();
  uiDirty_ = true;
  Repaint();
  if (input.chosen.empty() || !game) return;
  if (!HandlePlayerMenu(input.chosen, *game)) game->MenuClick(input.chosen);
}

void SdlHost::HandleKeyDown(const SDL_Event& event, const Layout& layout, GameEvents& game) {
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
    if (!event.key.repeat) ToggleFullScreen(game);
    return;
  }
  // In full screen the bar hides until the pointer reaches the top; F10 and the Alt keys bring it
  // as they do in a window, and it hides again when the menu closes.
  const bool barKey = key == SDLK_F10 || (alt && KeyLetter(key));
  const bool barShown = layout.barShown || (barKey && RevealBarForKeys());
  if (barShown && (alt || key == SDLK_F10 || menu_.Active())) {
    const MenuInput input = menu_.Key(ToMenuKey(key), KeyLetter(key), alt, key == SDLK_F10);
    if (input.consumed) {
      MenuInputDone(input, &game);
      return;
    }
  }
  HideBarRevealedForKeys();
  if (alt && KeyLetter(key)) return;  // menu accelerators that matched nothing
  if (key == SDLK_ESCAPE && fullScreen_) {
    ToggleFullScreen(game);
    return;
  }
  if (key == SDLK_LCTRL || key == SDLK_RCTRL) return;  // held, it skips (SyncHeldSkip)
  if (!game.TakesInputFrom(event.key.timestamp)) return;
  game.KeyDown(TranslateKey(key));
}

void SdlHost::Dispatch(const SDL_Event& event, GameEvents& game) {
  opener_.Reap();
  const Layout layout = ComputeLayout();
  switch (event.type) {
    case SDL_QUIT:
      NoteQuit();
      game.CloseRequested();
      return;
    case SDL_WINDOWEVENT: HandleWindowEvent(event); return;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      if (presenter_) presenter_->Reset(shown_);
      uiDirty_ = true;
      redrawAll_ = true;
      Repaint();
      return;
    case SDL_MOUSEMOTION: {
      int x = event.motion.x, y = event.motion.y;
      EventToPixels(x, y);
      const bool menuTakes = layout.barShown && (menu_.Active() || mouseOwner_ == MouseOwner::Menu || menu_.Covers(x, y));
      if (menuTakes) {
        const MenuInput input = menu_.MouseMove(x, y, SDL_GetTicks());
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
      int x = event.button.x, y = event.button.y;
      EventToPixels(x, y);
      altAlone_ = false;
      DismissNotice();
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
      // A press the game can no longer take never becomes a click either.
      if (!game.TakesInputFrom(event.button.timestamp)) return;
      int stageX = 0, stageY = 0;
      ToStage(x, y, stageX, stageY);
      if (button == MouseButton::Left) mouseOwner_ = MouseOwner::Game;
      game.MouseDown(button, stageX, stageY);
      return;
    }
    case SDL_MOUSEWHEEL: {
      if (menu_.Active() || !game.TakesInputFrom(event.wheel.timestamp)) return;
      int notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      // A fast flick comes as one event of many notches; each is a page of the history.
      for (int i = 0; i < std::min(std::abs(notches), 8) && !game.Closed(); ++i)
        game.Wheel(notches > 0 ? WheelDirection::Up : WheelDirection::Down);
      return;
    }
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) return;
      int x = event.button.x, y = event.button.y;
      EventToPixels(x, y);
      const MouseOwner owner = std::exchange(mouseOwner_, MouseOwner::None);
      if (owner == MouseOwner::Menu) {
        MenuInputDone(menu_.MouseUp(x, y), &game);
      } else if (owner == MouseOwner::Game) {
        game.Click();
      }
      return;
    }
    case SDL_KEYDOWN:
      DismissNotice();
      HandleKeyDown(event, layout, game);
      return;
    case SDL_KEYUP:
      // Alt pressed and let go alone gives the bar the keyboard, as F10 does.
      if (IsAlt(event.key.keysym.sym) && std::exchange(altAlone_, false) && (layout.barShown || RevealBarForKeys())) {
        const MenuInput input = menu_.Key(MenuKey::Other, 0, false, true);
        if (input.consumed) MenuInputDone(input, &game);
      }
      return;
    default: return;
  }
}

void SdlHost::SetCaption(std::string_view caption) {
  caption_ = Cp932ToUtf8(caption);
  ShowTitle();
}

void SdlHost::ShowCaptionNote(std::string_view utf8Note) {
  captionNote_ = std::string(utf8Note);
  captionNoteUntil_ = SDL_GetTicks() + kCaptionNoteMs;
  ShowTitle();
}

void SdlHost::ShowTitle() {
  if (!window_) return;
  // Plain ASCII between the two: in a C locale X drops a title whose em dash it cannot convert.
  const std::string title = captionNote_.empty() ? caption_ : caption_ + "  -  " + captionNote_;
  SDL_SetWindowTitle(window_, title.c_str());
}

void SdlHost::MenuChanged(const MenuModel& menu) {
  gameMenu_ = menu;
  RebuildMenuModel();
  framePending_ = true;
  FlushFrame();
}

// --- modal boxes ---------------------------------------------------------------------------

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
  // Keys and clicks made before the box was drawn were meant for what came before it: a
  // quick run of Enter taps must not accept a box nobody has seen.
  const uint32_t drawnMs = SDL_GetTicks();
  // A close request (the window's button, SIGINT, SIGTERM) ends the box as its default
  // answer would, and the game closes right after.
  while (!box.Done() && !quitRequested_) {
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, 100)) continue;
    if (IsInputEvent(event) && !SDL_TICKS_PASSED(event.common.timestamp, drawnMs)) continue;
    HandleDialogEvent(box, event);
  }
  if (text) SDL_StopTextInput();
  dialog_ = nullptr;
  uiDirty_ = true;
  Repaint();
  return box.Done() && box.Accepted();
}

void SdlHost::HandleDialogEvent(DialogBox& box, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: NoteQuit(); return;
    case SDL_WINDOWEVENT: HandleWindowEvent(event); return;
    case SDL_MOUSEBUTTONDOWN: {
      if (event.button.button != SDL_BUTTON_LEFT) return;
      int x = event.button.x, y = event.button.y;
      EventToPixels(x, y);
      box.MouseDown(x, y);
      break;
    }
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) return;
      int x = event.button.x, y = event.button.y;
      EventToPixels(x, y);
      box.MouseUp(x, y);
      break;
    }
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      const Uint16 modifiers = event.key.keysym.mod;
      if ((modifiers & KMOD_CTRL) && key == SDLK_v) {
        if (char* clip = SDL_GetClipboardText()) {
          box.TextInput(clip);
          SDL_free(clip);
        }
      } else if ((modifiers & KMOD_CTRL) && key == SDLK_a) {
        box.Key(DialogKey::SelectAll);
      } else if (!(modifiers & (KMOD_CTRL | KMOD_ALT))) {
        box.Key(ToDialogKey(key, modifiers), KeyLetter(key));
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
  while (!box.Done() && !quitRequested_) {
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
    case SDL_QUIT: NoteQuit(); return;
    case SDL_WINDOWEVENT: HandleWindowEvent(event); return;
    case SDL_MOUSEMOTION: {
      int x = event.motion.x, y = event.motion.y;
      EventToPixels(x, y);
      box.MouseMove(x, y);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT) return;
      int x = event.button.x, y = event.button.y;
      EventToPixels(x, y);
      if (event.type == SDL_MOUSEBUTTONDOWN)
        box.MouseDown(x, y);
      else
        box.MouseUp(x, y);
      break;
    }
    case SDL_KEYDOWN: box.Key(ToVolumeKey(event.key.keysym.sym, event.key.keysym.mod)); break;
    default: return;
  }
  uiDirty_ = true;
  Repaint();
}

void SdlHost::ShowMessage(std::string_view text, std::string_view caption) {
  if (!window_ || quitRequested_) return;
  DialogBox box(fonts_, DialogKind::Message, Cp932ToUtf8(caption), Cp932ToUtf8(text));
  RunDialog(box);
}

bool SdlHost::AskYesNo(std::string_view text, std::string_view caption) {
  if (!window_ || quitRequested_) return true;
  DialogBox box(fonts_, DialogKind::YesNo, Cp932ToUtf8(caption), Cp932ToUtf8(text));
  const bool yes = RunDialog(box);
  return quitRequested_ && !box.Done() ? true : yes;
}

std::optional<std::string> SdlHost::AskText(std::string_view caption, std::string_view prompt,
                                            std::string_view defaultText) {
  if (!window_ || quitRequested_) return std::string(defaultText);
  DialogBox box(fonts_, DialogKind::Text, Cp932ToUtf8(caption), Cp932ToUtf8(prompt), Cp932ToUtf8(defaultText),
                kMaxInputBytes);
  const bool accepted = RunDialog(box);
  if (quitRequested_ && !box.Done()) return std::string(defaultText);
  if (!accepted) return std::nullopt;
  return Utf8ToCp932(box.Text());
}

std::optional<std::string> SdlHost::AskSaveFile(std::string_view title, std::string_view filter) {
  if (!window_ || quitRequested_) return std::nullopt;
  // The filter reads "description|pattern"; the description tells what kind of file to name.
  const std::string_view description = filter.substr(0, filter.find('|'));
  const std::string prompt = "ファイル名: " + Cp932ToUtf8(description);
  DialogBox box(fonts_, DialogKind::Text, Cp932ToUtf8(title), prompt, {}, kMaxSaveNameBytes);
  if (!RunDialog(box) || box.Text().empty()) return std::nullopt;
  return Utf8ToCp932(box.Text());
}

// --- window modes --------------------------------------------------------------------------

void SdlHost::SetStayOnTop(bool onTop) {
  options_.stayOnTop = onTop;
  if (window_) SDL_SetWindowAlwaysOnTop(window_, onTop ? SDL_TRUE : SDL_FALSE);
}

void SdlHost::SetFullScreen(bool fullScreen) {
  if (!window_ || fullScreen == fullScreen_) return;
  if (fullScreen) {
    SDL_GetWindowSize(window_, &windowedWidth_, &windowedHeight_);
    windowedWithBar_ = barVisible_;
    // The desktop's own mode, whatever the screen: no mode switch, nothing to restore.
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    if (windowedWidth_ > 0 && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED)) {
      // Back to the size it had, less the bar when full screen took the bar away meanwhile.
      const int ui = std::clamp(
          std::min(windowedWidth_ / kStageWidth, windowedHeight_ / (kStageHeight + MenuBar::Height(1))), 1, kMaxScale);
      const int bar = MenuBar::Height(ui);
      const int height = windowedHeight_ + (barVisible_ == windowedWithBar_ ? 0 : barVisible_ ? bar : -bar);
      SDL_SetWindowSize(window_, windowedWidth_, std::max(1, height));
    }
  }
  fullScreen_ = fullScreen;
  menu_.Close();
  RebuildMenuModel();
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
  if (!fullScreen_ && window_ && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED)) {
    // The window grows or shrinks by the bar, so the stage keeps its size.
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    // The bar coming back takes the widget scale of the stage the window holds now.
    const float ratio = PixelRatio();
    const int stageFits = std::min(int(float(w) * ratio) / kStageWidth, int(float(h) * ratio) / kStageHeight);
    const int ui = visible ? std::clamp(stageFits, 1, kMaxScale) : ComputeLayout().ui;
    const int bar = int(float(MenuBar::Height(ui)) / ratio);
    SDL_SetWindowSize(window_, w, std::max(1, h + (visible ? bar : -bar)));
  }
  uiDirty_ = true;
  Repaint();
}

void SdlHost::SetWindowPosition(int left, int top) {
  if (!window_ || fullScreen_) return;
  SDL_SetWindowPosition(window_, left, top);
  // Until the desktop has framed the window, a position places the frame's corner, so the
  // window would stand a border lower and further right than asked (and a game that stores its
  // place, lower still at every start): it is asked again once the frame is known.
  placement_ = Placement{left, top, SDL_GetTicks() + kPlacementMs};
}

void SdlHost::KeepPlacement() {
  if (!placement_ || !window_) return;
  int top = 0, left = 0, bottom = 0, right = 0;
  const bool framed = SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 &&
                      (top | left | bottom | right) != 0;
  if (framed && !fullScreen_) {
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    if (x != placement_->left || y != placement_->top) SDL_SetWindowPosition(window_, placement_->left, placement_->top);
  }
  // A desktop without frames never tells any: the position stands as it was set.
  if (framed || fullScreen_ || SDL_TICKS_PASSED(SDL_GetTicks(), placement_->untilMs)) placement_.reset();
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
