#pragma once
// The mark that says the story waits for a click: the line icon after a line, the page icon at
// a page's end, at the message box's right edge beside the last line (or at the box's foot, as
// the game chooses). The blink timer takes it away and puts it back in turns.
#include "graphics/stage.h"
#include "persist/scene_state.h"
#include "platform/image.h"
#include "script/interpreter.h"

namespace orv {

class WaitIndicator {
 public:
  WaitIndicator(Stage& stage, const SceneState& scene, const Interpreter& interpreter)
      : stage_(stage), scene_(scene), interpreter_(interpreter) {}

  // Whether a blink would change anything, given that the story waits for a click with the
  // message window on show.
  bool Blinks(bool waitingForClick) const { return scene_.nvMode != 0 && waitingForClick; }
  // One turn of the blink: the mark goes, or comes back, and the window shows it.
  void Blink();
  // The mark leaves the screen for good (the story reads on), when the game shows it at all.
  void Clear();
  // The next blink takes the mark away first, as at the window's start.
  void Reset() { hidden_ = false; }

 private:
  Rect Place(bool forPage) const;

  Stage& stage_;
  const SceneState& scene_;
  const Interpreter& interpreter_;
  bool hidden_ = false;
};

}  // namespace orv
