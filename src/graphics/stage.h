#pragma once
// The stage: the 640 x 480 picture layers, the background buffer and the character slots
// drawn over it, the tinted message box, and the order in which a changed stage reaches the
// window. It reads the scene record it is given and changes none of it.
//
//   window_       what the window shows (the backend presents it)
//   screen_       the stage with the tinted box and the message text
//   stage_        background and characters
//   tint_         the stage with the tinted box, no text (what erasing text restores)
//   savedScreen_  the window as it was when the message window was hidden
//   text_         the message text alone, with coverage
//   background_   the current background
// The layers are the stage's own: others read them, and change them only through its verbs,
// so that what the window shows always follows from the layers beneath it.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/transitions.h"
#include "platform/image.h"
#include "platform/text_layer.h"
#include "platform/text/font_renderer.h"

namespace orv {

class Clock;
class Dialogs;
class GameFolder;
class Host;
class PictureCache;
struct SceneState;

class Stage final : public EffectCanvas {
 public:
  Stage(Host& host, Clock& clock, FontRenderer& fonts, const GameFolder& folder, const SceneState& scene,
        Dialogs& dialogs);
  ~Stage() override;

  // No wait icons and no pictures remembered, as a new stage. The layers keep their storage
  // and what they show: the player's start clears every one of them before it shows any.
  void Reset();

  // The wait-indicator pictures; a missing or unreadable one draws nothing.
  void LoadWaitIcons();
  // The decoded-picture cache over the picture package and the folder.
  void UsePicturePackage(std::string packageName);
  PictureCache& pictures();

  // --- drawing onto the window ---
  void PresentWindow();  // show the window surface as it is
  void RepaintScreen();  // screen_ onto the window surface, then present
  Rect MessageBox() const;
  // tint_ becomes screen_ with the message box tinted towards the colour; the box of
  // screen_ then shows the tint.
  void TintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue);
  // Draws text at (x, y): onto the window one character at a time at delayMs each (none while
  // paging, and cut short by the held button or by any go-on press beyond `goOnPressesSeen`),
  // then onto screen_ and text_ whole. Returns the advance.
  int TypeText(std::string_view text, int x, int y, const FontSpec& font, int32_t delayMs, bool pageMode,
               std::optional<uint32_t> goOnPressesSeen = std::nullopt);
  // Every layer black and empty.
  void ClearLayers();
  // The screen layer black, not yet shown.
  void BlankScreen() { screen_.Fill(Rgb{}); }
  // The message box loses its text, and the screen is shown.
  void ClearMessageText();
  // The message window goes: the window is kept to come back to, and the stage alone is shown.
  void HideMessageWindow();
  // The message window comes back: the window as it was kept (a click), or the screen layer as
  // it was kept, shown (the start of an advance).
  void ShowKeptWindow();
  void ShowKeptScreen();
  // The wait indicator's picture: the page's or the line's (empty when the game has none).
  const Image& WaitIcon(bool forPage) const { return forPage ? pageWaitIcon_ : lineWaitIcon_; }
  // Draws `icon` onto the window at `place`, its bottom-left colour see-through (an empty one
  // draws nothing), or erases
  // what stands there back to the tinted stage; the window is shown by the caller.
  void DrawOnWindow(const Image& icon, Rect place);
  void EraseFromWindow(Rect place);
  // Erases `place` of the screen layer back to the tinted stage, not shown.
  void EraseFromScreen(Rect place);
  // What the window shows now, for screenshots and saved screens.
  const Image& WindowPicture() const { return window_; }
  // The background buffer black, as a reset scene has it.
  void ForgetBackground();
  // Copies `source` onto screen_ in the wipe a load and a return to the title play,
  // showing each round.
  void WipeIn(const Image& source);
  // Shows the scene record's stage anew, as loading a save point does: the window wipes to
  // `wipeFrom`, the layers are cleared, the background and the characters are drawn again and
  // wiped in, and the message box takes its tint. A picture that fails is told and drawn as
  // nothing; the rest goes on.
  void Restore(ColorRef wipeFrom);
  // Covers the whole stage with a plain colour, which becomes the background: the window
  // cross-fades into it when `animate` (at `speed`), and every layer below it takes it. The
  // box is not tinted and nothing more is shown.
  void CoverWithColor(Rgb color, bool animate, int32_t speed);
  // The screen layer becomes the stage with the box tinted anew, its text gone; not shown.
  void RetintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue);
  // Blinks the window `count` times: the colour for delayMs, then what it showed for delayMs.
  // A script may ask for billions of blinks: they stop, the window as it was, when the person
  // asks to end the program, and then the result is false. Blinks without pauses keep the
  // window alive.
  bool Flash(Rgb color, int32_t count, int32_t delayMs);

  // --- the stage's pictures; false when a picture failed and that ends the command (the
  // player has been told), stage_ then stays as it was ---
  bool LoadBackground();
  bool ComposeStage(bool restoreBox);
  // The stage without the message window straight onto the window: the characters marked to
  // stay when it is hidden, over the background. Pictures that fail draw nothing.
  void ComposeStageToWindow();
  // stage_ with the tinted box and the text onto the window.
  void PresentStage();
  bool BlendMaskedPicture(Image& buffer, std::string_view name, int x, int y);

  // --- what effects draw on ---
  Image& Surface() override { return window_; }
  void Present() override { PresentWindow(); }
  void Wait(int32_t ms) override;
  bool ButtonHeld() override;

  // --- the layers, read-only ---
  const Image& ScreenLayer() const { return screen_; }
  const Image& StageLayer() const { return stage_; }
  const Image& TintLayer() const { return tint_; }
  const TextLayer& TextOnScreen() const { return text_; }
  const Image& BackgroundLayer() const { return background_; }

  // What the choices draw on while one is shown: the window and the screen with its text, over
  // the tinted stage they erase back to.
  struct ChoiceCanvas {
    Image& window;
    Image& screen;
    const Image& tint;
    TextLayer& text;
  };
  ChoiceCanvas CanvasForChoices() { return ChoiceCanvas{window_, screen_, tint_, text_}; }

  // Every layer as it was kept (rollback): each must have the size of the layer it replaces,
  // or nothing changes and the result is false. The layers keep their own storage, which the
  // backends may be holding on to.
  bool PutBackLayers(const Image& background, const Image& stage, const Image& tint, const Image& screen,
                     const Image& window, const TextLayer& text);

 private:
  bool PasteCharacter(int slot, Image& buffer, int mode);

  Host& host_;
  Clock& clock_;
  FontRenderer& fonts_;
  const GameFolder& folder_;
  const SceneState& scene_;
  Dialogs& dialogs_;
  std::string picturePackage_;
  std::unique_ptr<PictureCache> pictureCache_;
  Image composeWork_;  // where the stage is composed before it is shown
  std::vector<uint8_t> tintedRow_, screenRow_;  // one row of each layer as a present builds it

  Image screen_, stage_, tint_, savedScreen_;
  TextLayer text_;
  Image window_;
  Image background_;
  Image lineWaitIcon_, pageWaitIcon_;  // empty when the game has none
};

}  // namespace orv
