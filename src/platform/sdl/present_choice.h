#pragma once
// Which way the window's frames go to the screen (see window_presenter.h), decided once at
// start from what the machine says about itself, without loading the OpenGL library to ask
// it: software OpenGL alone is tens of megabytes and milliseconds a frame.
#include <optional>
#include <string>

namespace orv {

enum class PresentPath { Accelerated, Surface };

// What the choice goes by; gathered by GatherPresentFacts, or made up in tests.
struct PresentFacts {
  std::string videoDriver;              // SDL's: "x11", "wayland", "windows", "offscreen"...
  std::optional<PresentPath> asked;     // ORVANE_PRESENT=surface|accelerated
  bool softwareRendererAsked = false;   // SDL_RENDER_DRIVER=software
  bool softwareOpenGlForced = false;    // LIBGL_ALWAYS_SOFTWARE, GALLIUM_DRIVER=llvmpipe|softpipe
  std::optional<bool> directRendering;  // the X server offers DRI2/DRI3 (or NVIDIA's GLX); unknown: nothing
  bool gpuDevice = false;               // a GPU render node (/dev/dri/renderD*, /dev/nvidia0) can be opened
  bool remoteDisplay = false;           // DISPLAY names another host
  bool stageAtOneTimes = false;         // a window at 1x with whole-multiple scaling
};

struct PresentChoice {
  PresentPath path = PresentPath::Accelerated;
  std::string reason;  // English, for --verbose
};

PresentChoice ChoosePresentPath(const PresentFacts& facts);

// The facts of this machine (SDL video must be running). `stageAtOneTimes` is the caller's.
PresentFacts GatherPresentFacts(bool stageAtOneTimes);

}  // namespace orv
