// Frames through SDL's accelerated renderer: the stage in a streaming texture (only changed
// rows and columns uploaded), scaled by the GPU, the panels as textures over it.
#include <algorithm>

#include "platform/sdl/window_presenter.h"
#include "platform/ui/window_pixels.h"

namespace orv {
namespace {

SDL_Rect ToSdl(const Rect& r) { return SDL_Rect{r.left, r.top, r.Width(), r.Height()}; }

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

class RendererPresenter final : public WindowPresenter {
 public:
  explicit RendererPresenter(SDL_Renderer* renderer) : renderer_(renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer_, &info) == 0) {
      targetsSupported_ = (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
      maxSide_ = std::min(info.max_texture_width > 0 ? info.max_texture_width : 4096,
                          info.max_texture_height > 0 ? info.max_texture_height : 4096);
    }
  }
  ~RendererPresenter() override {
    DestroyPanels();
    if (prescaled_) SDL_DestroyTexture(prescaled_);
    if (stageTexture_) SDL_DestroyTexture(stageTexture_);
    SDL_DestroyRenderer(renderer_);
  }
  RendererPresenter(const RendererPresenter&) = delete;
  RendererPresenter& operator=(const RendererPresenter&) = delete;

  const char* Name() const override { return "accelerated"; }

  bool OutputSize(int& width, int& height) const override {
    return SDL_GetRendererOutputSize(renderer_, &width, &height) == 0 && width > 0 && height > 0;
  }

  void StageChanged(const Image& stage, const Rect& changed) override {
    stage_ = &stage;
    if (!stageTexture_ || textureWidth_ != stage.width() || textureHeight_ != stage.height()) {
      if (stageTexture_) SDL_DestroyTexture(stageTexture_);
      stageTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, stage.width(),
                                        stage.height());
      textureWidth_ = stage.width();
      textureHeight_ = stage.height();
      uploadPending_ = stage.bounds();
      return;
    }
    uploadPending_ = Union(uploadPending_, changed);
  }

  void SetPanels(std::vector<Panel> panels) override {
    DestroyPanels();
    for (Panel& panel : panels) {
      if (panel.pixels.empty()) continue;
      SDL_Texture* texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STATIC,
                                               panel.pixels.width(), panel.pixels.height());
      if (!texture) continue;
      SDL_UpdateTexture(texture, nullptr, panel.pixels.bytes().data(), int(panel.pixels.stride()));
      panels_.push_back(PanelTexture{panel.where, texture});
    }
  }

  void Reset(const Image& stage) override {
    stage_ = &stage;
    uploadPending_ = stage.bounds();
    prescalePending_ = stage.bounds();
  }

  void Draw(const PresentLayout& layout, bool) override {
    Upload();
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    DrawStage(layout);
    for (const PanelTexture& panel : panels_) {
      const SDL_Rect where = ToSdl(panel.where);
      SDL_RenderCopy(renderer_, panel.texture, nullptr, &where);
    }
    SDL_RenderPresent(renderer_);
  }

 private:
  struct PanelTexture {
    Rect where;
    SDL_Texture* texture;
  };

  void DestroyPanels() {
    for (PanelTexture& panel : panels_) SDL_DestroyTexture(panel.texture);
    panels_.clear();
  }

  void Upload() {
    if (uploadPending_.Empty() || !stageTexture_ || !stage_) return;
    const Rect r = Intersect(uploadPending_, stage_->bounds());
    uploadPending_ = Rect{};
    if (r.Empty()) return;
    const SDL_Rect where = ToSdl(r);
    SDL_UpdateTexture(stageTexture_, &where, stage_->row(r.top) + size_t(r.left) * 3, int(stage_->stride()));
    prescalePending_ = Union(prescalePending_, r);
  }

  void DrawStage(const PresentLayout& layout) {
    if (!stageTexture_ || !stage_) return;
    const Rect dst = layout.stage;
    const SDL_Rect where = ToSdl(dst);
    const int w = stage_->width(), h = stage_->height();
    const int kx = std::clamp(CeilDiv(dst.Width(), w), 1, std::max(1, maxSide_ / w));
    const int ky = std::clamp(CeilDiv(dst.Height(), h), 1, std::max(1, maxSide_ / w));
    if (layout.stageScale >= 1 || !targetsSupported_ || (kx == 1 && ky == 1)) {
      // Whole multiples are sharp as they are; without render targets, plain linear filtering.
      SDL_SetTextureScaleMode(stageTexture_, layout.stageScale >= 1 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
      SDL_RenderCopy(renderer_, stageTexture_, nullptr, &where);
      return;
    }
    // Sharp bilinear: blocks of whole pixels first, then linear filtering down to the window,
    // so edges blur by at most one screen pixel whatever the factor.
    if (!prescaled_ || kx != prescaleX_ || ky != prescaleY_) {
      if (prescaled_) SDL_DestroyTexture(prescaled_);
      prescaled_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w * kx, h * ky);
      prescaleX_ = kx;
      prescaleY_ = ky;
      prescalePending_ = stage_->bounds();
      if (!prescaled_) {
        SDL_SetTextureScaleMode(stageTexture_, SDL_ScaleModeLinear);
        SDL_RenderCopy(renderer_, stageTexture_, nullptr, &where);
        return;
      }
      SDL_SetTextureScaleMode(prescaled_, SDL_ScaleModeLinear);
    }
    if (!prescalePending_.Empty()) {
      const Rect r = prescalePending_;
      const SDL_Rect from = ToSdl(r);
      const SDL_Rect to{r.left * kx, r.top * ky, r.Width() * kx, r.Height() * ky};
      SDL_SetTextureScaleMode(stageTexture_, SDL_ScaleModeNearest);
      SDL_SetRenderTarget(renderer_, prescaled_);
      SDL_RenderCopy(renderer_, stageTexture_, &from, &to);
      SDL_SetRenderTarget(renderer_, nullptr);
      prescalePending_ = Rect{};
    }
    SDL_RenderCopy(renderer_, prescaled_, nullptr, &where);
  }

  SDL_Renderer* renderer_;
  bool targetsSupported_ = false;
  int maxSide_ = 4096;
  const Image* stage_ = nullptr;
  SDL_Texture* stageTexture_ = nullptr;
  int textureWidth_ = 0, textureHeight_ = 0;
  Rect uploadPending_;
  // The stage prescaled by whole factors, filtered linearly onto the window.
  SDL_Texture* prescaled_ = nullptr;
  int prescaleX_ = 0, prescaleY_ = 0;
  Rect prescalePending_;
  std::vector<PanelTexture> panels_;
};

}  // namespace

std::unique_ptr<WindowPresenter> MakeRendererPresenter(SDL_Window* window) {
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) return nullptr;
  return std::make_unique<RendererPresenter>(renderer);
}

}  // namespace orv
