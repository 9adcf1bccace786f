#pragma once
// How the window's frames reach the screen. Two ways, chosen once when the window opens:
//
// - RendererPresenter: SDL's accelerated renderer (OpenGL and the like). The stage is a
//   texture, scaled by the GPU, and every frame redraws the whole window; on a real GPU that
//   costs next to nothing.
// - SurfacePresenter: the window's own pixels, written by the CPU, and only the rectangles
//   that changed are sent to the display. Where OpenGL would be software (a virtual machine,
//   a remote desktop, no drivers) redrawing everything through it costs milliseconds a frame;
//   this costs a glyph's box per typed character, and never loads the OpenGL library.
#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/image.h"
#include "platform/ui/ui_draw.h"

namespace orv {

// Where things lie in the window, in its real pixels.
struct PresentLayout {
  int width = 0, height = 0;
  Rect stage;
  int stageScale = 1;  // whole factor of the stage (0 when not a whole multiple)
};

class WindowPresenter {
 public:
  virtual ~WindowPresenter() = default;
  // "accelerated" or "surface", for --verbose and measurements.
  virtual const char* Name() const = 0;
  // The window's drawable size in real pixels; false when it cannot be told.
  virtual bool OutputSize(int& width, int& height) const = 0;
  // The pixels of `stage` within `changed` differ from what was drawn last.
  virtual void StageChanged(const Image& stage, const Rect& changed) = 0;
  // The backend's own pieces (menu bar, notes, boxes) as they are to be shown from now on.
  virtual void SetPanels(std::vector<Panel> panels) = 0;
  // Shows what changed; `everything` when the window lost its contents or its shape.
  virtual void Draw(const PresentLayout& layout, bool everything) = 0;
  // The GPU lost its textures: everything is drawn afresh from the stage.
  virtual void Reset(const Image& stage) = 0;
};

std::unique_ptr<WindowPresenter> MakeRendererPresenter(SDL_Window* window);
std::unique_ptr<WindowPresenter> MakeSurfacePresenter(SDL_Window* window);

}  // namespace orv
