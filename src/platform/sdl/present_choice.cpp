#include "platform/sdl/present_choice.h"

#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace orv {
namespace {

std::string_view Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool Opens(const std::filesystem::path& device) {
  const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool GpuDeviceOpens() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec))
    if (entry.path().filename().string().starts_with("renderD") && Opens(entry.path())) return true;
  return Opens("/dev/nvidia0");
}

// Asks the X server whether it offers direct rendering, through Xlib as SDL already loaded it
// (or loads it): a few round trips, and no OpenGL library. Nothing when Xlib is not there.
std::optional<bool> XServerRendersDirectly() {
  void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
  if (!xlib) return std::nullopt;
  using OpenDisplay = void* (*)(const char*);
  using QueryExtension = int (*)(void*, const char*, int*, int*, int*);
  using CloseDisplay = int (*)(void*);
  const auto open = reinterpret_cast<OpenDisplay>(dlsym(xlib, "XOpenDisplay"));
  const auto query = reinterpret_cast<QueryExtension>(dlsym(xlib, "XQueryExtension"));
  const auto close = reinterpret_cast<CloseDisplay>(dlsym(xlib, "XCloseDisplay"));
  std::optional<bool> result;
  if (open && query && close) {
    if (void* display = open(nullptr)) {
      int opcode = 0, event = 0, error = 0;
      result = query(display, "DRI3", &opcode, &event, &error) || query(display, "DRI2", &opcode, &event, &error) ||
               query(display, "NV-GLX", &opcode, &event, &error);
      close(display);
    }
  }
  dlclose(xlib);
  return result;
}

// "host:0" or "host/unix:0" is another machine; ":0", "unix:0" and a socket path are this one.
bool DisplayIsRemote(std::string_view display) {
  const size_t colon = display.rfind(':');
  if (display.empty() || display.front() == '/' || colon == std::string_view::npos) return false;
  const std::string_view host = display.substr(0, colon);
  return !host.empty() && host != "unix" && host != "localhost" && !host.starts_with("/");
}

}  // namespace

PresentChoice ChoosePresentPath(const PresentFacts& f) {
  using P = PresentPath;
  if (f.asked) return {*f.asked, "as ORVANE_PRESENT asks"};
  if (f.softwareRendererAsked) return {P::Surface, "SDL_RENDER_DRIVER asks for software rendering"};
  if (f.stageAtOneTimes) return {P::Surface, "the stage is shown at 1x and needs no scaling"};
  const bool windowSystem = f.videoDriver == "x11" || f.videoDriver == "wayland" || f.videoDriver == "kmsdrm";
  if (!windowSystem) return {P::Accelerated, "the " + f.videoDriver + " video driver draws through its own renderer"};
  if (f.softwareOpenGlForced) return {P::Surface, "OpenGL is set to software rendering"};
  if (f.videoDriver == "x11") {
    if (f.remoteDisplay) return {P::Surface, "the X display is on another machine"};
    if (f.directRendering == false)
      return {P::Surface, "the X server offers no direct rendering, so OpenGL would be software"};
    if (f.directRendering == true && f.gpuDevice) return {P::Accelerated, "the X server renders on a GPU"};
  }
  if (!f.gpuDevice) return {P::Surface, "no GPU device can be opened, so OpenGL would be software"};
  return {P::Accelerated, "a GPU device is there"};
}

PresentFacts GatherPresentFacts(bool stageAtOneTimes) {
  PresentFacts f;
  const char* driver = SDL_GetCurrentVideoDriver();
  f.videoDriver = driver ? driver : "";
  const std::string_view asked = Env("ORVANE_PRESENT");
  if (asked == "surface") f.asked = PresentPath::Surface;
  if (asked == "accelerated") f.asked = PresentPath::Accelerated;
  f.softwareRendererAsked = EqualsIgnoringCase(Env("SDL_RENDER_DRIVER"), "software");
  const std::string_view forced = Env("LIBGL_ALWAYS_SOFTWARE");
  const std::string_view gallium = Env("GALLIUM_DRIVER");
  f.softwareOpenGlForced =
      (!forced.empty() && forced != "0" && forced != "false") || gallium == "llvmpipe" || gallium == "softpipe";
  f.stageAtOneTimes = stageAtOneTimes;
  if (f.asked || f.softwareRendererAsked || stageAtOneTimes) return f;
  f.gpuDevice = GpuDeviceOpens();
  if (f.videoDriver == "x11") {
    f.remoteDisplay = DisplayIsRemote(Env("DISPLAY"));
    f.directRendering = XServerRendersDirectly();
  }
  return f;
}

}  // namespace orv
