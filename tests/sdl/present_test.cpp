// The two ways frames reach the screen must show the same window, pixel for pixel, through
// partial updates, panels that come and go, and a window that lost its contents; and the
// choice between them follows what the machine says about its OpenGL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/sdl/desktop_session.h"
#include "platform/sdl/present_choice.h"
#include "platform/sjis.h"
#include "support/test_support.h"

namespace orv {
namespace {

// The whole window as it shows now, 24-bit.
std::vector<uint8_t> WindowShows(SdlHost& host) {
  host.Repaint();
  int w = 0, h = 0;
  SDL_Window* window = host.window();
  if (SDL_Renderer* renderer = SDL_GetRenderer(window)) {
    SDL_GetRendererOutputSize(renderer, &w, &h);
    std::vector<uint8_t> bgr(size_t(w) * size_t(h) * 3);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_BGR24, bgr.data(), w * 3);
    return bgr;
  }
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface) return {};
  std::vector<uint8_t> bgr(size_t(surface->w) * size_t(surface->h) * 3);
  SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
                    SDL_PIXELFORMAT_BGR24, bgr.data(), surface->w * 3);
  return bgr;
}

MenuModel OneMenu() {
  MenuModel model;
  MenuItem file;
  file.name = "File";
  file.caption = test::Sjis("ファイル(&F)");
  model.items.push_back(file);
  return model;
}

// A run of frames as a game makes them, each step's window kept for comparison.
std::vector<std::vector<uint8_t>> PlayFrames(PresentPath path, int scale) {
  DesktopOptions options;
  options.scale = scale;
  options.present = path;
  DesktopSession session(options);
  std::string error;
  EXPECT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  EXPECT_STREQ(host.PresenterName(), path == PresentPath::Surface ? "surface" : "accelerated");
  std::vector<std::vector<uint8_t>> shown;
  Image stage(kStageWidth, kStageHeight);
  for (int y = 0; y < kStageHeight; ++y)
    for (int x = 0; x < kStageWidth; ++x) stage.SetPixel(x, y, Rgb{uint8_t(x), uint8_t(y), uint8_t(x ^ y)});
  host.MenuChanged(OneMenu());
  host.Present(stage);
  shown.push_back(WindowShows(host));
  // A typed character: one small box changes, at the stage's edges too.
  stage.FillRect(Rect{40, 360, 56, 376}, Rgb{255, 255, 255});
  stage.FillRect(Rect{636, 476, 640, 480}, Rgb{1, 2, 3});
  host.Present(stage);
  shown.push_back(WindowShows(host));
  // A note over the stage, then gone again: what it covered shows the stage once more.
  host.ShowNotice("note", 60000);
  shown.push_back(WindowShows(host));
  host.ShowSkipping(true);
  host.ShowSkipping(false);
  host.ShowBusyNote(true);
  host.ShowBusyNote(false);
  host.ShowNotice("note", 0);  // due at once: the next frame takes it away
  host.FlushFrame();
  shown.push_back(WindowShows(host));
  // The window lost its contents (uncovered): drawn whole again, with a change of the stage.
  SDL_Event exposed{};
  exposed.type = SDL_WINDOWEVENT;
  exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
  host.HandleWindowEvent(exposed);
  stage.FillRect(Rect{0, 0, 8, 8}, Rgb{9, 9, 9});
  host.Present(stage);
  shown.push_back(WindowShows(host));
  return shown;
}

class PresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
  }
};

TEST_F(PresentTest, SurfaceShowsWhatTheRendererShowsThroughPartialUpdates) {
  for (int scale : {1, 2}) {
    const auto accelerated = PlayFrames(PresentPath::Accelerated, scale);
    const auto surface = PlayFrames(PresentPath::Surface, scale);
    ASSERT_EQ(accelerated.size(), surface.size());
    for (size_t i = 0; i < surface.size(); ++i) {
      ASSERT_FALSE(surface[i].empty());
      size_t first = 0;
      while (first < std::min(accelerated[i].size(), surface[i].size()) && accelerated[i][first] == surface[i][first])
        ++first;
      EXPECT_TRUE(accelerated[i] == surface[i])
          << "scale " << scale << ", frame " << i << ": sizes " << accelerated[i].size() << " and " << surface[i].size()
          << ", first difference at byte " << first << ": " << int(accelerated[i][first]) << " against "
          << int(surface[i][first]);
    }
    // The steps did change the window: equal frames are not two blank windows.
    EXPECT_NE(surface[0], surface[1]);
    EXPECT_NE(surface[1], surface[2]);
    EXPECT_EQ(surface[1], surface[3]);
  }
}

TEST(PresentChoice, SoftwareOpenGlGoesThroughTheSurfaceAndGpusKeepTheRenderer) {
  PresentFacts gpu;
  gpu.videoDriver = "x11";
  gpu.directRendering = true;
  gpu.gpuDevice = true;
  EXPECT_EQ(ChoosePresentPath(gpu).path, PresentPath::Accelerated);

  PresentFacts xvfb = gpu;  // a virtual display on a machine that has a GPU
  xvfb.directRendering = false;
  EXPECT_EQ(ChoosePresentPath(xvfb).path, PresentPath::Surface);

  PresentFacts vm = gpu;  // no GPU device, whatever the server says
  vm.gpuDevice = false;
  EXPECT_EQ(ChoosePresentPath(vm).path, PresentPath::Surface);
  vm.directRendering.reset();
  EXPECT_EQ(ChoosePresentPath(vm).path, PresentPath::Surface);

  PresentFacts remote = gpu;
  remote.remoteDisplay = true;
  EXPECT_EQ(ChoosePresentPath(remote).path, PresentPath::Surface);

  PresentFacts forced = gpu;
  forced.softwareOpenGlForced = true;
  EXPECT_EQ(ChoosePresentPath(forced).path, PresentPath::Surface);

  PresentFacts small = gpu;  // 1x needs no scaling at all
  small.stageAtOneTimes = true;
  EXPECT_EQ(ChoosePresentPath(small).path, PresentPath::Surface);

  PresentFacts asked = small;
  asked.asked = PresentPath::Accelerated;
  EXPECT_EQ(ChoosePresentPath(asked).path, PresentPath::Accelerated);

  PresentFacts wayland;
  wayland.videoDriver = "wayland";
  wayland.gpuDevice = true;
  EXPECT_EQ(ChoosePresentPath(wayland).path, PresentPath::Accelerated);

  PresentFacts windows;  // other systems' renderers are their own business
  windows.videoDriver = "windows";
  EXPECT_EQ(ChoosePresentPath(windows).path, PresentPath::Accelerated);
  EXPECT_FALSE(ChoosePresentPath(windows).reason.empty());
}

}  // namespace
}  // namespace orv
