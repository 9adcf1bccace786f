#pragma once
// What a choice works with: the parts of the player it draws on and reads from, by
// reference, and the few actions that belong to other parts (the interpreter's line fetch and
// step, the wait indicator, the menu, save points, save slots, pictures, messages).
#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/picture_loader.h"
#include "persist/scene_state.h"
#include "platform/clock.h"
#include "platform/image.h"
#include "platform/text/font_renderer.h"
#include "platform/text_layer.h"
#include "script/message_history.h"
#include "script/script_reader.h"

namespace orv {

class ChoiceStory {
 public:
  virtual ~ChoiceStory() = default;

  // --- the interpreter ---
  // The next scenario line into LineBuffer(). False at the end of the scenario: the player
  // has been told and the window is closing.
  virtual bool FetchLine() = 0;
  virtual const std::string& LineBuffer() const = 0;
  virtual void InterpretStep() = 0;
  // Reading goes on after the first line that is the label exactly; without one the scenario
  // ends (the player is told and the window closes).
  virtual void JumpToLabel(std::string_view label) = 0;
  // Replaces the scenario; false (the player told, nothing changed) when it cannot be loaded.
  virtual bool SwitchScenario(std::string_view name) = 0;
  virtual bool Closed() const = 0;

  // --- the window ---
  // The blinking wait indicator: stopping it also erases it.
  virtual void StopWaitIndicator() = 0;
  virtual void StartWaitIndicator() = 0;
  virtual void EnableSkipItem() = 0;
  virtual bool PageMode() const = 0;
  virtual int32_t MessageDelayMs() const = 0;
  // ScreenImage onto the window, shown.
  virtual void RepaintScreen() = 0;
  // The window surface as it is, shown.
  virtual void PresentWindow() = 0;
  // A pause that blocks the game, as the message text's typing pauses.
  virtual void WaitMs(int32_t ms) = 0;
  virtual void ShowMessage(std::string_view sjisText) = 0;
  // A note for whoever runs the player about the scenario line just read (a script problem
  // the game goes on past).
  virtual void Note(std::string_view text) = 0;

  // --- scene and saves ---
  virtual void TakeSavePoint(bool setReadPosition) = 0;
  // The caption of the Load menu's entry for slot 0..9.
  virtual std::string LoadMenuCaption(int slot) const = 0;
  // Restores a save slot file; false when there is none (nothing changed).
  virtual bool LoadSlotFile(std::string_view fileName) = 0;
  virtual PictureLoad LoadPicture(std::string_view name) = 0;
};

struct ChoiceContext {
  ChoiceStory& story;
  ScriptReader& reader;
  SceneState& scene;
  // The interpreter's state.
  int32_t& scriptOffset;
  int32_t& textCursorX;
  int32_t& textCursorY;
  bool& pageEnded;
  int32_t& pageIndex;
  MessageHistory& history;
  // The input state the choices share with the window's handlers.
  bool& skipMode;
  bool& choiceActive;         // a text choice waits for the player
  bool& pictureChoiceActive;  // a picture choice waits for the player
  int32_t& hoveredChoice;     // the entry last pointed at (or moved to by the keys)
  bool& pointerOnChoice;      // the last pointer movement ended over an entry
  // The layers.
  Image& windowSurface;
  Image& screenImage;
  const Image& tintImage;
  TextLayer& textImage;
  FontRenderer& fonts;
  Clock& clock;  // for the state of the button while captions are typed
};

}  // namespace orv
