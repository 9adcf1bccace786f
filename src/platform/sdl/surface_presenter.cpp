// Frames through the window's own pixels: the CPU scales the stage into them, and only the
// rectangles that changed are drawn and sent to the display.
#include <algorithm>

#include "platform/sdl/window_presenter.h"
#include "platform/ui/window_pixels.h"

namespace orv {
namespace {

SDL_Rect ToSdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.Width(), r.Height()}; }

// Pixels we can write directly: 32 bits, blue in the low byte, red in the third.
bool WritableAsIs(const SDL_Surface* surface) {
  return surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
}

class SurfacePresenter final : public WindowPresenter {
 public:
  explicit SurfacePresenter(SDL_Window* window) : window_(window) {}
  ~SurfacePresenter() override {
    if (canvas_) SDL_FreeSurface(canvas_);
    if (prescaled_) SDL_FreeSurface(prescaled_);
  }
  SurfacePresenter(const SurfacePresenter&) = delete;
  SurfacePresenter& operator=(const SurfacePresenter&) = delete;

  const char* Name() const override { return "surface"; }

  bool OutputSize(int& width, int& height) const override {
    SDL_GetWindowSize(window_, &width, &height);
    return width > 0 && height > 0;
  }

  void StageChanged(const Image& stage, const Rect& changed) override {
    if (stage_ != &stage || stage.width() != stageWidth_ || stage.height() != stageHeight_) {
      stage_ = &stage;
      stageWidth_ = stage.width();
      stageHeight_ = stage.height();
      stageDamage_ = stage.bounds();
      return;
    }
    stageDamage_ = Union(stageDamage_, changed);
  }

  void SetPanels(std::vector<Panel> panels) override {
    // What the old panels covered shows the stage again; what the new ones cover shows them.
    for (const Panel& panel : panels_) panelDamage_.push_back(panel.where);
    for (const Panel& panel : panels) panelDamage_.push_back(panel.where);
    panels_ = std::move(panels);
  }

  void Reset(const Image& stage) override {
    stage_ = &stage;
    stageDamage_ = stage.bounds();
  }

  void Draw(const PresentLayout& layout, bool everything) override {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface || !stage_) return;
    if (surface != lastSurface_ || surface->w != lastWidth_ || surface->h != lastHeight_ ||
        !(layout.stage == lastStage_)) {
      everything = true;
      lastSurface_ = surface;
      lastWidth_ = surface->w;
      lastHeight_ = surface->h;
      lastStage_ = layout.stage;
    }
    const Rect window{0, 0, surface->w, surface->h};
    std::vector<Rect> damage;
    if (everything) {
      damage.push_back(window);
    } else {
      // Between whole factors the stage is filtered, and a changed pixel bleeds into its
      // neighbours' share: such a stage is drawn whole.
      const Rect stageArea = layout.stageScale >= 1 ? StageToWindow(stageDamage_, layout.stage) : layout.stage;
      if (!stageDamage_.Empty()) damage.push_back(stageArea);
      for (const Rect& r : panelDamage_) damage.push_back(r);
    }
    stageDamage_ = Rect{};
    panelDamage_.clear();
    std::vector<SDL_Rect> sent;
    for (const Rect& r : damage) {
      const Rect clipped = Intersect(r, window);
      if (!clipped.Empty()) sent.push_back(ToSdl(clipped));
    }
    if (sent.empty()) return;

    const bool direct = WritableAsIs(surface);
    SDL_Surface* target = direct ? surface : Canvas(surface->w, surface->h);
    if (!target) return;
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    const WindowPixels pixels{static_cast<uint32_t*>(target->pixels), target->w, target->h, size_t(target->pitch) / 4};
    const bool filtered = layout.stageScale < 1;
    if (filtered) DrawFilteredStage(layout.stage, target);
    for (const SDL_Rect& r : sent) Compose(Rect{r.x, r.y, r.x + r.w, r.y + r.h}, layout, pixels, filtered);
    // The filtered stage went down whole, over panels outside the damage too: they go back on.
    if (filtered)
      for (const Panel& panel : panels_) DrawScaled(panel.pixels, panel.where, window, pixels);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (!direct)
      for (SDL_Rect r : sent) SDL_BlitSurface(target, &r, surface, &r);
    SDL_UpdateWindowSurfaceRects(window_, sent.data(), int(sent.size()));
  }

 private:
  // One damaged rectangle: black where the stage is not, the stage, then the panels over it.
  void Compose(const Rect& area, const PresentLayout& layout, const WindowPixels& pixels, bool stageDrawn) {
    const Rect onStage = Intersect(area, layout.stage);
    if (!(onStage == area)) {
      // The bands of `area` above, below, left and right of the stage.
      FillPixels(Rect{area.left, area.top, area.right, std::max(area.top, std::min(area.bottom, layout.stage.top))},
                 Rgb{}, pixels);
      FillPixels(Rect{area.left, std::max(area.top, layout.stage.bottom), area.right, area.bottom}, Rgb{}, pixels);
      const int top = std::max(area.top, layout.stage.top), bottom = std::min(area.bottom, layout.stage.bottom);
      FillPixels(Rect{area.left, top, std::min(area.right, layout.stage.left), bottom}, Rgb{}, pixels);
      FillPixels(Rect{std::max(area.left, layout.stage.right), top, area.right, bottom}, Rgb{}, pixels);
    }
    if (!stageDrawn) DrawScaled(*stage_, layout.stage, onStage, pixels);
    for (const Panel& panel : panels_) DrawScaled(panel.pixels, panel.where, area, pixels);
  }

  // Sharp bilinear, as the accelerated path does it: whole blocks first, then linear filtering
  // down to the stage's place.
  void DrawFilteredStage(const Rect& where, SDL_Surface* target) {
    const int kx = std::max(1, (where.Width() + stageWidth_ - 1) / stageWidth_);
    const int ky = std::max(1, (where.Height() + stageHeight_ - 1) / stageHeight_);
    if (!prescaled_ || prescaled_->w != stageWidth_ * kx || prescaled_->h != stageHeight_ * ky ||
        prescaled_->format->format != target->format->format) {
      if (prescaled_) SDL_FreeSurface(prescaled_);
      prescaled_ = SDL_CreateRGBSurfaceWithFormat(0, stageWidth_ * kx, stageHeight_ * ky, 32, target->format->format);
      if (!prescaled_) return;
    }
    const WindowPixels block{static_cast<uint32_t*>(prescaled_->pixels), prescaled_->w, prescaled_->h,
                             size_t(prescaled_->pitch) / 4};
    DrawScaled(*stage_, block.bounds(), block.bounds(), block);
    SDL_Rect to = ToSdl(where);
    if (target->format->format == prescaled_->format->format &&
        SDL_SoftStretchLinear(prescaled_, nullptr, target, &to) == 0)
      return;
    SDL_BlitScaled(prescaled_, nullptr, target, &to);
  }

  // A 32-bit copy of the window for surfaces in other formats, blitted across afterwards.
  SDL_Surface* Canvas(int width, int height) {
    if (canvas_ && (canvas_->w != width || canvas_->h != height)) {
      SDL_FreeSurface(canvas_);
      canvas_ = nullptr;
    }
    if (!canvas_) canvas_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    return canvas_;
  }

  SDL_Window* window_;
  const Image* stage_ = nullptr;
  int stageWidth_ = 0, stageHeight_ = 0;
  Rect stageDamage_;
  std::vector<Panel> panels_;
  std::vector<Rect> panelDamage_;
  SDL_Surface* lastSurface_ = nullptr;
  int lastWidth_ = 0, lastHeight_ = 0;
  Rect lastStage_;
  SDL_Surface* canvas_ = nullptr;
  SDL_Surface* prescaled_ = nullptr;
};

}  // namespace

std::unique_ptr<WindowPresenter> MakeSurfacePresenter(SDL_Window* window) {
  // The window's pixels must be its own, not a texture of a renderer made behind our back:
  // that would load the OpenGL library this presenter exists to avoid.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (!SDL_GetWindowSurface(window)) return nullptr;
  return std::make_unique<SurfacePresenter>(window);
}

}  // namespace orv
