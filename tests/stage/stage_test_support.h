#pragma once
// Pictures, recorded frames and an in-process player for the stage tests.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "graphics/stage.h"
#include "persist/scene_state.h"
#include "script/dialogs.h"
#include "platform/audio.h"
#include "platform/audio/midi_output.h"
#include "platform/game_folder.h"
#include "platform/headless/headless_clock.h"
#include "platform/host.h"
#include "platform/image.h"
#include "platform/text_layer.h"
#include "platform/text/font_renderer.h"
#include "support/test_support.h"

namespace orv::test {

// A picture whose pixel (x, y) comes from `shade`.
Image Picture(int width, int height, const std::function<Rgb(int x, int y)>& shade);
Image Solid(int width, int height, Rgb color);
// Two busy full-stage pictures that differ in every byte and every row, so that a flipped
// row or a shifted column shows.
Image OldStage();
Image NewStage();

// A stage's layers as copies, to be changed and put back with PutLayersBack.
struct KeptLayers {
  Image background, stage, tint, screen, window;
  TextLayer text;
};
KeptLayers KeepLayers(const Stage& stage);
bool PutLayersBack(Stage& stage, const KeptLayers& layers);

void WritePicture(const TempDir& dir, std::string_view name, const Image& picture);
Image ReadPicture(const std::filesystem::path& file);

struct Frame {
  Image image;
  uint32_t ms = 0;
};
// The frames a --record run wrote, in order.
std::vector<Frame> ReadRecordedFrames(const std::filesystem::path& dir);

// Number of pixels where two pictures differ (all of them when the sizes differ).
int DifferingPixels(const Image& a, const Image& b);

// The window as a list of frames, with message boxes as UTF-8 lines.
class FrameHost final : public Host {
 public:
  explicit FrameHost(Clock& clock) : clock_(clock) {}
  void Present(const Image& surface) override;
  void SetCaption(std::string_view) override {}
  void MenuChanged(const MenuModel&) override {}
  void ShowMessage(std::string_view text, std::string_view) override;
  bool AskYesNo(std::string_view, std::string_view) override { return true; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> AskSaveFile(std::string_view, std::string_view) override { return std::nullopt; }
  void SetStayOnTop(bool) override {}
  void SetFullScreen(bool) override {}
  void SetMenuBarVisible(bool) override {}
  void SetWindowPosition(int, int) override {}
  void GetWindowPosition(int& left, int& top) override { left = top = 0; }
  void CenterWindow() override {}
  bool SetCursorFromFile(const std::filesystem::path&) override { return false; }
  void ResetCursor() override {}
  void OpenExternally(const std::string&) override {}

  // Every frame is kept unless keepFrames is off; the count, times and last frame always are.
  bool keepFrames = true;
  std::vector<Frame> frames;
  std::vector<uint32_t> times;
  Image last;
  std::function<void(const Image&)> onPresent;
  std::vector<std::string> messages;

 private:
  Clock& clock_;
};


struct QuietDialogs final : Dialogs {
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view, std::string_view) override { return true; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

// A stage over an empty game folder: tests set its layers and run effects on it directly.
struct StageRig {
  TempDir dir;
  HeadlessClock clock;
  FrameHost host{clock};
  GameFolder folder{dir.path()};
  FontRenderer fonts;
  SceneState scene;
  QuietDialogs dialogs;
  Stage stage{host, clock, fonts, folder, scene, dialogs};
};

}  // namespace orv::test
