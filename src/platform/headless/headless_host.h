#pragma once
// The window as tests see it: every message box, question, input dialog and caption change is
// a line on the output; dialogs take their answers from the next event line when it is an
// answer of their kind; every presented frame can be recorded.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/headless/event_script.h"
#include "platform/host.h"

namespace orv {

class Clock;

class HeadlessHost final : public Host {
 public:
  void ShowSkipping(bool skipping) override { skippingShown_ = skipping; }
  bool SkippingShown() const override { return skippingShown_; }
  HeadlessHost(std::FILE* out, EventScript* events, Clock& clock);

  // Writes every presented frame as DIR/NNNNNN.bmp and a line "NNNNNN MS" in DIR/frames.txt.
  bool StartRecording(const std::filesystem::path& dir);
  // Writes frames.txt; empty when every frame and the list were written, else why not.
  std::string FinishRecording();

  void Present(const Image& surface) override;
  void SetCaption(std::string_view caption) override;
  void ShowCaptionNote(std::string_view utf8Note) override;
  void MenuChanged(const MenuModel&) override {}
  void ShowMessage(std::string_view text, std::string_view caption) override;
  // One line per box: the English detail reaches standard error through the player's notes.
  void ShowProblem(std::string_view text, std::string_view title, std::string_view) override {
    ShowMessage(text, title);
  }
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view defaultText) override;
  std::optional<std::string> AskSaveFile(std::string_view title, std::string_view filter) override;
  // Takes every following slider, mute and close line; closes at the first other line.
  void ShowVolumeDialog(VolumeControls& controls) override;
  void SetStayOnTop(bool onTop) override { stayOnTop = onTop; }
  void SetFullScreen(bool on) override { fullScreen = on; }
  void SetMenuBarVisible(bool visible) override { menuBarVisible = visible; }
  void SetWindowPosition(int left, int top) override;
  void GetWindowPosition(int& left, int& top) override;
  void CenterWindow() override;
  bool SetCursorFromFile(const std::filesystem::path& file) override;
  void ResetCursor() override { cursorFile.clear(); }
  void OpenExternally(const std::string& target) override;

  // What the window would be doing; tests read these.
  std::string caption;
  bool stayOnTop = true;
  bool fullScreen = false;
  bool menuBarVisible = true;
  int left = 0, top = 0;
  std::string cursorFile;
  int framesPresented = 0;

 private:
  bool skippingShown_ = false;
  void Line(std::string_view kind, std::string_view text);
  std::FILE* out_;
  EventScript* events_;
  Clock& clock_;
  std::filesystem::path recordDir_;
  bool recording_ = false;
  std::string frameList_;
  std::string recordError_;  // the first frame that could not be written
};

}  // namespace orv
