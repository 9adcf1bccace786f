// The window's input handlers and timers: what a click, a key, the right button and the
// timers do in each interaction state.
#include "app/player.h"

namespace orv {

void Player::NextClick() {
  ClearWaitIndicator();
  if (input.interactionState == kHidden) {
    CopyImage(stage.windowSurface, stage.savedScreenImage);
    stage.PresentWindow();
    input.interactionState = kShown;
    if (scene.nvMode != 0) SetWaitIndicatorTimer(true);
    return;
  }
  if (input.choiceActive || input.pictureChoiceActive) {
    // A choice is taken only with the pointer over one of its entries.
    if (!input.pointerOnChoice) return;
    ChoiceContext parts = ChoiceParts();
    if (input.choiceActive)
      CarryOutChoice(choices.TakeChoice(parts), false);
    else
      CarryOutChoice(choices.TakePictureChoice(parts), true);
    return;
  }
  // Stepped back: on along the path already taken, without running the script again.
  if (onRollbackPoint_ && rollback_.ahead() > 0 && StepForward()) return;
  if (interpreter.pageEnded) {
    CopySameRect(stage.screenImage, stage.tintImage, ClipRect(stage.MessageBox(), stage.screenImage));
    stage.textImage.Clear();
    stage.RepaintScreen();
    interpreter.pageEnded = false;
    interpreter.textCursorX = scene.textX;
    interpreter.textCursorY = scene.textY;
    TakeSavePoint();
  }
  RunStep();
}

void Player::FormClick() {
  narrator.ActionBegins();
  switch (input.interactionState) {
    case kHidden:
      CopyImage(stage.screenImage, stage.savedScreenImage);
      input.interactionState = kShown;
      SetWaitIndicatorTimer(true);
      stage.RepaintScreen();
      break;
    case kHistory:
      HistoryClick();
      break;
    default:
      NextClick();
      services.clock.WaitMs(100);
      input.skipMode = false;
      break;
  }
}

// The window's events as they come from the backend. Any input of the player's own ends auto
// mode before the kit's handler sees it; the player's own keys never reach the game.
void Player::Click() {
  const uint32_t since = services.clock.NowMs();
  StopAutoMode();
  FormClick();
  HandlerReturned(since);
}

void Player::KeyDown(KeyPress key) {
  const uint32_t since = services.clock.NowMs();
  if (!PlayerKey(key)) {
    StopAutoMode();
    FormKeyDown(key);
  }
  HandlerReturned(since);
}

void Player::Wheel(WheelDirection direction) {
  const uint32_t since = services.clock.NowMs();
  StopAutoMode();
  FormMouseWheel(direction);
  HandlerReturned(since);
}

void Player::MouseDown(MouseButton button, int x, int y) {
  const uint32_t since = services.clock.NowMs();
  StopAutoMode();
  input.pointerX = x;
  input.pointerY = y;
  FormMouseDown(button, x, y);
  HandlerReturned(since);
}

void Player::HandlerReturned(uint32_t sinceMs) {
  if (!closed_) ShowSkipMark();
  const uint32_t now = services.clock.NowMs();
  if (now != sinceMs) inputGate_.SettledAt(now);
}

void Player::FormMouseDown(MouseButton button, int, int) {
  if (button != MouseButton::Right) return;
  if (input.interactionState == kShown) {
    CopyImage(stage.savedScreenImage, stage.windowSurface);
    stage.ComposeStageToWindow();
    SetWaitIndicatorTimer(false);
    input.interactionState = kHidden;
    services.clock.WaitMs(500);
  } else if (input.interactionState == kHidden && scene.historyMode == 1) {
    input.interactionState = kHistory;
    OpenHistory();
  }
}

void Player::FormKeyDown(KeyPress key) {
  if (input.interactionState == kHistory) return;
  // The space bar is Enter, whichever backend the key came from.
  if (key.code == KeyCode::Space) key.code = KeyCode::Enter;
  input.skipMode = false;
  narrator.ActionBegins();
  if (input.choiceActive) {
    ChoiceContext parts = ChoiceParts();
    CarryOutChoice(choices.ChoiceKey(parts, key.code), false);
    if (input.choiceActive && (key.code == KeyCode::Up || key.code == KeyCode::Down)) SpeakChoice(input.hoveredChoice);
    return;
  }
  if (key.code == KeyCode::Enter) NextClick();
}

void Player::FormMouseMove(int x, int y) {
  input.pointerX = x;
  input.pointerY = y;
  if (!window.enabled || input.interactionState == kHidden) return;
  if (input.interactionState == kHistory) {
    HistoryMouseMove(x, y);
    return;
  }
  input.pointerOnChoice = false;
  if (menus.IsChecked("FullMode")) {
    if (y < 40) {
      services.host.SetMenuBarVisible(true);
      window.menuHidden = 0;
    } else if (window.menuHidden == 0 && window.fullScreen == 1) {
      services.host.SetMenuBarVisible(false);
      window.menuHidden = 1;
    }
  }
  if (input.choiceActive || input.pictureChoiceActive) {
    ChoiceContext parts = ChoiceParts();
    choices.PointerMoved(parts, x, y);
  }
  SpeakPointedChoice();
}

void Player::ToggleSkip() {
  if (!input.choiceActive) input.skipMode = !input.skipMode;
  ShowSkipMark();
}

bool Player::Skipping() const {
  // The held skip key advances like skip mode but leaves choices to the player. Skipping
  // stops at a picture choice too (the tick must not take the entry that happens to be under
  // the pointer), and never draws the next text over the history screen.
  return (input.skipMode || (skipHeld_ && !input.choiceActive)) && !input.pictureChoiceActive &&
         input.interactionState != kHistory;
}

// The mark follows skipping at once: a box that stops it (a name to enter, say) holds the game
// where no tick comes to take the mark away.
void Player::ShowSkipMark() {
  skipShown_ = Skipping();
  services.host.ShowSkipping(skipShown_);
}

void Player::StopSkipping() {
  input.skipMode = false;
  ShowSkipMark();
}

void Player::Timer1Timer() {
  ShowSkipMark();
  if (Skipping()) NextClick();
}

Rect Player::WaitIndicatorRect(bool forPage) const {
  const Image& icon = forPage ? stage.pageWaitIcon : stage.lineWaitIcon;
  int x = scene.boxRight - icon.width() - 5;
  int y = scene.nvPlace == 1 ? scene.boxBottom - stage.lineWaitIcon.height()
                             : interpreter.textCursorY - (scene.lineSpacing + scene.fontSize);
  return Rect{x, y, x + icon.width(), y + icon.height()};
}

void Player::Timer2Timer() {
  if (scene.nvMode == 0 || input.interactionState == kHidden || input.choiceActive) return;
  const Image& icon = interpreter.pageEnded ? stage.pageWaitIcon : stage.lineWaitIcon;
  Rect place = WaitIndicatorRect(interpreter.pageEnded);
  input.blinkPhase = !input.blinkPhase;
  if (input.blinkPhase) {
    CopySameRect(stage.windowSurface, stage.tintImage, place);
  } else if (!icon.empty()) {
    // Pixels of the picture's bottom-left colour are see-through.
    DrawTransparent(stage.windowSurface, place.left, place.top, icon, icon.Pixel(0, icon.height() - 1));
  }
  stage.PresentWindow();
}

void Player::ClearWaitIndicator() {
  if (scene.nvMode != 1) return;
  CopySameRect(stage.screenImage, stage.tintImage, WaitIndicatorRect(interpreter.pageEnded));
}

}  // namespace orv
