#include "platform/sdl/desktop_window.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/sjis.h"

namespace orv {
namespace {

constexpr int kDefaultRefreshHz = 60;
constexpr uint32_t kCaptionNoteMs = 5000;
constexpr uint32_t kPlacementMs = 2000;

}  // namespace

DesktopWindow::DesktopWindow(FontRenderer& fonts, DesktopWindowOptions options)
    : options_(options), menu_(fonts), notes_(fonts) {}

DesktopWindow::~DesktopWindow() {
  presenter_.reset();
  if (window_) SDL_DestroyWindow(window_);
}

int DesktopWindow::ChooseScale() {
  SDL_Rect usable{0, 0, 0, 0};
  const bool known = SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0;
  const int fits = known ? LargestScaleThatFits(usable.w, usable.h) : kMaxWindowScale;
  if (options_.scale <= 0) return known ? fits : 1;
  if (options_.scale <= fits) return options_.scale;
  // A window larger than the screen opens partly off it, its menu bar or frame out of reach.
  scaleNote_ = "--scale " + std::to_string(options_.scale) + " does not fit " +
               (known ? "the screen (" + std::to_string(usable.w) + " x " + std::to_string(usable.h) + ")"
                      : "the player (" + std::to_string(kMaxWindowScale) + " at most)") +
               ": the window opens at " + std::to_string(fits) + "x";
  return fits;
}

bool DesktopWindow::Open(std::string& error) {
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
  const int hz =
      SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : kDefaultRefreshHz;
  frames_.SetDisplayRate(hz);
  // SDL turns text input on by default; the input method would then swallow the game's keys.
  SDL_StopTextInput();
  RebuildMenuModel();
  Image black(kStageWidth, kStageHeight);
  Present(black);
  Repaint();
  return true;
}

// --- layout --------------------------------------------------------------------------------

Scaling DesktopWindow::scaling() const {
  if (options_.scaling) return *options_.scaling;
  return fullScreen_ ? Scaling::Fit : Scaling::Integer;
}

void DesktopWindow::SetScaling(Scaling scaling) {
  options_.scaling = scaling;
  RebuildMenuModel();
  RepaintPanels();
}

float DesktopWindow::PixelRatio() const {
  int windowWidth = 0, windowHeight = 0, pixelWidth = 0, pixelHeight = 0;
  if (!window_ || !presenter_) return 1.0f;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  presenter_->OutputSize(pixelWidth, pixelHeight);
  if (windowWidth <= 0 || pixelWidth <= 0) return 1.0f;
  return float(pixelWidth) / float(windowWidth);
}

void DesktopWindow::EventToPixels(int& x, int& y) const {
  const float ratio = PixelRatio();
  if (ratio == 1.0f) return;
  x = int(std::lround(float(x) * ratio));
  y = int(std::lround(float(y) * ratio));
}

WindowLayout DesktopWindow::Layout() const {
  WindowShape shape;
  if (presenter_) presenter_->OutputSize(shape.width, shape.height);
  shape.windowedScale = scale_;
  shape.fullScreen = fullScreen_;
  shape.barVisible = barVisible_;
  shape.scaling = scaling();
  return LayOutWindow(shape);
}

bool DesktopWindow::ToStage(int x, int y, int& stageX, int& stageY) const {
  return StagePointAt(Layout().stage, x, y, stageX, stageY);
}

// --- frames --------------------------------------------------------------------------------

void DesktopWindow::Present(const Image& surface) {
  if (!presenter_ || surface.empty()) return;
  const Rect changed = frames_.Take(surface);
  if (changed.Empty()) return;
  presenter_->StageChanged(frames_.shown(), changed);
  frames_.MarkPending();
  FlushFrame();
}

std::optional<uint32_t> DesktopWindow::FrameDueInMs() const {
  const uint32_t now = SDL_GetTicks();
  std::optional<uint32_t> due = frames_.DueInMs(now);
  if (auto menuDue = menu_.SwitchDueMs()) {
    const uint32_t wait = int32_t(*menuDue - now) > 0 ? *menuDue - now : 0;
    due = due ? std::min(*due, wait) : wait;
  }
  return due;
}

void DesktopWindow::FlushFrame() {
  KeepPlacement();
  const uint32_t now = SDL_GetTicks();
  const WindowNotes::Expired expired = notes_.Expire(now);
  if (expired.notice) {
    uiDirty_ = true;
    frames_.MarkPending();
  }
  if (expired.captionNote) ShowTitle();
  if (menu_.Tick(now)) {
    uiDirty_ = true;
    frames_.MarkPending();
  }
  if (frames_.Due(now)) Repaint();
}

void DesktopWindow::Repaint() {
  if (!presenter_) return;
  const uint32_t startMs = SDL_GetTicks();
  const WindowLayout layout = Layout();
  if (uiDirty_) RebuildPanels(layout);
  presenter_->Draw(PresentLayout{layout.width, layout.height, layout.stage, layout.stageScale},
                   std::exchange(redrawAll_, false));
  frames_.Drawn(startMs, SDL_GetTicks());
}

void DesktopWindow::RepaintPanels() {
  uiDirty_ = true;
  Repaint();
}

void DesktopWindow::RebuildPanels(const WindowLayout& layout) {
  menu_.Place(layout.bar, layout.ui, layout.width, layout.height);
  std::vector<Panel> drawn;
  // Notes sit at the top of the stage, below the bar where it lies over the stage.
  Rect noteArea = layout.stage;
  if (layout.barShown && fullScreen_) noteArea.top = std::max(noteArea.top, layout.bar.bottom);
  notes_.Draw(noteArea, layout.ui, drawn);
  if (layout.barShown) {
    std::vector<Panel> bar = menu_.Render();
    for (Panel& panel : bar) drawn.push_back(std::move(panel));
  }
  if (modal_) drawn.push_back(modal_(layout.stage, layout.ui));
  std::erase_if(drawn, [](const Panel& panel) { return panel.pixels.empty(); });
  presenter_->SetPanels(std::move(drawn));
  uiDirty_ = false;
}

bool DesktopWindow::HandleWindowEvent(const SDL_Event& event) {
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

void DesktopWindow::ResetPresenter() {
  if (presenter_) presenter_->Reset(frames_.shown());
  uiDirty_ = true;
  redrawAll_ = true;
  Repaint();
}

// --- menu bar, title, notes, boxes ---------------------------------------------------------

void DesktopWindow::SetGameMenu(const MenuModel& menu) {
  gameMenu_ = menu;
  RebuildMenuModel();
  frames_.MarkPending();
  FlushFrame();
}

void DesktopWindow::RebuildMenuModel() {
  MenuModel merged = gameMenu_;
  merged.items.push_back(PlayerMenu(scaling(), fullScreen_));
  menu_.SetModel(merged);
  uiDirty_ = true;
}

void DesktopWindow::SetCaption(std::string_view caption) {
  notes_.SetCaption(Cp932ToUtf8(caption));
  ShowTitle();
}

void DesktopWindow::ShowCaptionNote(std::string_view utf8Note) {
  notes_.ShowCaptionNote(utf8Note, SDL_GetTicks() + kCaptionNoteMs);
  ShowTitle();
}

void DesktopWindow::ShowTitle() {
  if (!window_) return;
  SDL_SetWindowTitle(window_, notes_.Title().c_str());
}

void DesktopWindow::ShowBusyNote(bool shown) {
  if (notes_.ShowBusy(shown)) RepaintPanels();
}

void DesktopWindow::ShowNotice(std::string_view utf8Text, uint32_t ms) {
  notes_.ShowNotice(utf8Text, SDL_GetTicks() + ms);
  RepaintPanels();
}

void DesktopWindow::DismissNotice() {
  if (!notes_.Dismiss()) return;
  uiDirty_ = true;
  frames_.MarkPending();
}

void DesktopWindow::ShowSkipping(bool skipping) {
  if (!notes_.ShowSkipping(skipping)) return;
  uiDirty_ = true;
  frames_.MarkPending();
  FlushFrame();
}

bool DesktopWindow::SetCursorFromFile(const std::filesystem::path& file) {
  return cursor_.SetFromFile(file, Layout().stageScale);
}

void DesktopWindow::ResetCursor() { cursor_.Reset(); }

void DesktopWindow::ShowModal(ModalPanel panel) {
  modal_ = std::move(panel);
  menu_.Close();
  RepaintPanels();
}

void DesktopWindow::EndModal() {
  modal_ = nullptr;
  RepaintPanels();
}

// --- window modes --------------------------------------------------------------------------

void DesktopWindow::SetStayOnTop(bool onTop) {
  options_.stayOnTop = onTop;
  if (window_) SDL_SetWindowAlwaysOnTop(window_, onTop ? SDL_TRUE : SDL_FALSE);
}

void DesktopWindow::SetFullScreen(bool fullScreen) {
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
      const int bar = MenuBar::Height(WindowedWidgetScale(windowedWidth_, windowedHeight_));
      const int height = windowedHeight_ + (barVisible_ == windowedWithBar_ ? 0 : barVisible_ ? bar : -bar);
      SDL_SetWindowSize(window_, windowedWidth_, std::max(1, height));
    }
  }
  fullScreen_ = fullScreen;
  menu_.Close();
  RebuildMenuModel();
  cursor_.Rescale(Layout().stageScale);
  RepaintPanels();
}

void DesktopWindow::SetMenuBarVisible(bool visible) {
  if (visible == barVisible_) return;
  barVisible_ = visible;
  if (!visible) menu_.Close();
  if (!fullScreen_ && window_ && !(SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED)) {
    // The window grows or shrinks by the bar, so the stage keeps its size.
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    // The bar coming back takes the widget scale of the stage the window holds now.
    const float ratio = PixelRatio();
    const int stageFits = std::min(int(float(w) * ratio) / kStageWidth, int(float(h) * ratio) / kStageHeight);
    const int ui = visible ? std::clamp(stageFits, 1, kMaxWindowScale) : Layout().ui;
    const int bar = int(float(MenuBar::Height(ui)) / ratio);
    SDL_SetWindowSize(window_, w, std::max(1, h + (visible ? bar : -bar)));
  }
  RepaintPanels();
}

void DesktopWindow::SetWindowPosition(int left, int top) {
  if (!window_ || fullScreen_) return;
  SDL_SetWindowPosition(window_, left, top);
  // Until the desktop has framed the window, a position places the frame's corner, so the
  // window would stand a border lower and further right than asked (and a game that stores its
  // place, lower still at every start): it is asked again once the frame is known.
  placement_ = Placement{left, top, SDL_GetTicks() + kPlacementMs};
}

void DesktopWindow::KeepPlacement() {
  if (!placement_ || !window_) return;
  int top = 0, left = 0, bottom = 0, right = 0;
  const bool framed =
      SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 && (top | left | bottom | right) != 0;
  if (framed && !fullScreen_) {
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    if (x != placement_->left || y != placement_->top)
      SDL_SetWindowPosition(window_, placement_->left, placement_->top);
  }
  // A desktop without frames never tells any: the position stands as it was set.
  if (framed || fullScreen_ || SDL_TICKS_PASSED(SDL_GetTicks(), placement_->untilMs)) placement_.reset();
}

void DesktopWindow::GetWindowPosition(int& left, int& top) const {
  left = top = 0;
  if (window_) SDL_GetWindowPosition(window_, &left, &top);
}

void DesktopWindow::CenterWindow() {
  if (!window_ || fullScreen_) return;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

}  // namespace orv
