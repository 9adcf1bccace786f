#pragma once
// The choices on their own: a scenario text in memory, real layers and fonts, and a story that
// records what the choices asked of the rest of the player.
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "choice/choices.h"
#include "support/test_support.h"

namespace orv::test {

class RecordingClock : public Clock {
 public:
  uint32_t NowMs() override { return now; }
  void WaitMs(uint32_t ms) override {
    waits.push_back(ms);
    if (onWait) onWait(ms);
    now += ms;
  }
  bool ButtonHeld() override { return held; }
  uint32_t now = 0;
  bool held = false;
  std::vector<uint32_t> waits;
  std::function<void(uint32_t)> onWait;
};

struct ChoiceRig : ChoiceStory {
  explicit ChoiceRig(const std::vector<std::string>& scenarioLines) : text(CrLf(scenarioLines)) {
    scene.fontName.Set(Sjis("ＭＳ 明朝"));
    scene.fontSize = 16;
    scene.textX = 20;
    scene.textY = 300;
    scene.choiceColor = 0x0000FF;       // red
    scene.choiceHoverColor = 0xFF0000;  // blue
    scene.boxLeft = 10, scene.boxTop = 290, scene.boxRight = 630, scene.boxBottom = 470;
    tintImage.Fill(Rgb{1, 2, 3});
    textCursorX = scene.textX;
    textCursorY = scene.textY;
    // The first line is the command: the handler starts reading after it.
    scriptOffset = int32_t(text.find("\r\n") + 2);
  }

  ChoiceContext Context() {
    return ChoiceContext{*this,     reader,      scene,       scriptOffset,    textCursorX,
                         textCursorY, pageEnded,  pageIndex,   history,         skipMode,
                         choiceActive, pictureChoiceActive, hoveredChoice, pointerOnChoice, windowSurface,
                         screenImage, tintImage,  textImage,   fonts,           clock};
  }
  // Runs the command handler, as the interpreter does after reading the keyword.
  void Show(bool pictureChoice) {
    ChoiceContext c = Context();
    pictureChoice ? choices.ShowPictureChoice(c) : choices.ShowChoice(c);
  }
  void Move(int x, int y) {
    ChoiceContext c = Context();
    choices.PointerMoved(c, x, y);
  }
  void Key(KeyCode key) {
    ChoiceContext c = Context();
    choices.ChoiceKey(c, key);
  }
  void Take() {
    ChoiceContext c = Context();
    choiceActive ? choices.ResolveChoice(c) : choices.ResolvePictureChoice(c);
  }
  // The byte offset just after the scenario line that is `line` exactly.
  int32_t OffsetAfter(const std::string& line) const {
    return int32_t(text.find(line + "\r\n") + line.size() + 2);
  }

  // --- ChoiceStory ---
  bool FetchLine() override {
    if (size_t(scriptOffset) >= text.size()) {
      messages.push_back("end");
      closed = true;
      return false;
    }
    const size_t end = text.find("\r\n", size_t(scriptOffset));
    lineBuffer = text.substr(size_t(scriptOffset), end == std::string::npos ? std::string::npos : end - size_t(scriptOffset));
    scriptOffset = end == std::string::npos ? int32_t(text.size()) : int32_t(end + 2);
    return true;
  }
  const std::string& LineBuffer() const override { return lineBuffer; }
  void InterpretStep() override { steps.push_back(scriptOffset); }
  void JumpToLabel(std::string_view label) override {
    while (FetchLine())
      if (lineBuffer == label) return;
  }
  bool SwitchScenario(std::string_view name) override {
    auto file = files.find(std::string(name));
    if (file == files.end()) {
      messages.push_back("switch failed");
      return false;
    }
    text = file->second;
    return true;
  }
  bool Closed() const override { return closed; }
  void StopWaitIndicator() override { indicatorRunning = false; }
  void StartWaitIndicator() override { indicatorRunning = true; }
  void EnableSkipItem() override { skipItemEnabled = true; }
  bool PageMode() const override { return pageMode; }
  int32_t MessageDelayMs() const override { return messageDelayMs; }
  void RepaintScreen() override { CopyImage(windowSurface, screenImage); }
  void PresentWindow() override { ++presents; }
  void WaitMs(int32_t ms) override { clock.WaitMs(uint32_t(ms)); }
  void ShowMessage(std::string_view message) override { messages.emplace_back(message); }
  // As the player does: the note names the line just read.
  void Note(std::string_view note) override {
    const auto lineEnds = std::count(text.begin(), text.begin() + scriptOffset, '\n');
    notes.push_back("line " + std::to_string(lineEnds) + ": " + std::string(note));
  }
  void TakeSavePoint(bool setReadPosition) override {
    if (setReadPosition) scene.readPosition = scriptOffset;
    savePoints.push_back(scene.readPosition);
  }
  std::string LoadMenuCaption(int slot) const override { return "caption of slot " + std::to_string(slot); }
  bool LoadSlotFile(std::string_view fileName) override {
    slotLoads.emplace_back(fileName);
    if (!slotFiles.contains(std::string(fileName))) return false;
    choiceActive = pictureChoiceActive = pointerOnChoice = false;  // the scene reset
    hoveredChoice = 0;
    return true;
  }
  PictureLoad LoadPicture(std::string_view name) override {
    pictureLoads.emplace_back(name);
    if (name == "broken.bmp") return PictureLoad::Unreadable(name);
    auto picture = pictures.find(std::string(name));
    return picture == pictures.end() ? PictureLoad::None() : PictureLoad::Picture(picture->second);
  }

  // --- the player's parts ---
  std::string text;
  std::string lineBuffer;
  ScriptReader reader;
  SceneState scene;
  int32_t scriptOffset = 0, textCursorX = 0, textCursorY = 0, pageIndex = 0;
  bool pageEnded = true, skipMode = true;
  bool choiceActive = false, pictureChoiceActive = false, pointerOnChoice = false;
  int32_t hoveredChoice = 0;
  MessageHistory history;
  Image windowSurface{kStageWidth, kStageHeight}, screenImage{kStageWidth, kStageHeight};
  Image tintImage{kStageWidth, kStageHeight};
  TextLayer textImage{kStageWidth, kStageHeight};
  FontRenderer fonts;
  RecordingClock clock;
  Choices choices;

  // --- what was asked ---
  bool closed = false, pageMode = false, indicatorRunning = true, skipItemEnabled = false;
  int32_t messageDelayMs = 0;
  int presents = 0;
  std::vector<int32_t> steps, savePoints;
  std::vector<std::string> messages, notes, slotLoads, pictureLoads;
  std::map<std::string, std::string> files;
  std::set<std::string> slotFiles;
  std::map<std::string, Image> pictures;
};

}  // namespace orv::test
