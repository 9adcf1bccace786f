#pragma once
// What a choice works with: the parts of the player it draws on and reads from, by
// reference, and the few services of other parts it needs while it is shown (the
// interpreter's line fetch, the window, pictures, messages). What taking an entry does to the
// story is not among them: the choice returns it as a ChoiceOutcome.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "graphics/picture_loader.h"
#include "persist/scene_state.h"
#include "platform/clock.h"
#include "platform/image.h"
#include "platform/text/font_renderer.h"
#include "platform/text_layer.h"
#include "script/script_reader.h"

namespace orv {

class ChoiceStory {
 public:
  virtual ~ChoiceStory() = default;

  // --- the interpreter ---
  // The next scenario line, valid until the next fetch. Nothing at the end of the scenario:
  // the player has been told and the window is closing.
  virtual std::optional<std::string_view> FetchLine() = 0;

  // --- the window ---
  // ScreenImage onto the window, shown.
  virtual void ShowScreen() = 0;
  // The window surface as it is, shown.
  virtual void PresentWindow() = 0;
  // A pause that blocks the game, as the message text's typing pauses.
  virtual void Pause(int32_t ms) = 0;
  // An OK box, as the script's message boxes.
  virtual void Tell(std::string_view sjisText) = 0;
  // A note for whoever runs the player about the scenario line just read (a script problem
  // the game goes on past).
  virtual void NoteAtLine(std::string_view text) = 0;

  // --- menus and pictures ---
  // The caption of the Load menu's entry for slot 0..9.
  virtual std::string LoadMenuCaption(int slot) const = 0;
  virtual PictureLoad LoadPicture(std::string_view name) = 0;
};

struct ChoiceContext {
  ChoiceStory& story;
  ScriptReader& reader;
  SceneState& scene;
  int32_t textCursorY;  // the interpreter's: a text choice lists its captions from here
  // The layers.
  Image& windowSurface;
  Image& screenImage;
  const Image& tintImage;
  TextLayer& textImage;
  FontRenderer& fonts;
  Clock& clock;  // for the state of the button while captions are typed
};

}  // namespace orv
