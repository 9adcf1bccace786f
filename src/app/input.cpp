// The window's input handlers and timers: what a click, a key, the right button and the
// timers do in each interaction state.
#include "app/player.h"

namespace orv {

void Player::NextClick() {
  ClearWaitIndicator();
  if (input_.interactionState == kHidden) {
    stage_.ShowKeptWindow();
    input_.interactionState = kShown;
    if (scene_.nvMode != 0) SetWaitIndicatorTimer(true);
    return;
  }
  if (choices_.Waiting()) {
    // A choice is taken only with the pointer over one of its entries.
    if (!choices_.pointerOnChoice()) return;
    ChoiceContext parts = ChoiceParts();
    if (choices_.choiceActive())
      CarryOutChoice(choices_.TakeChoice(parts), false);
    else
      CarryOutChoice(choices_.TakePictureChoice(parts), true);
    return;
  }
  // Stepped back: on along the path already taken, without running the script again.
  if (rollback_.OnPoint() && rollback_.ring().ahead() > 0 && StepForward()) return;
  if (interpreter_.pageEnded()) {
    stage_.ClearMessageText();
    interpreter_.TurnPage(scene_.textX, scene_.textY);
    TakeSavePoint();
  }
  RunStep();
}

void Player::RunStep() {
  inputGate_.StepBegins();
  interpreter_.InterpretStep();
  // What the step drew (text, a choice) is on screen from now: input from before it is stale.
  inputGate_.SettledAt(services_.clock.NowMs());
  // A step may stop in the middle of a line (before a choice, at a lone WAIT): what it typed
  // is said all the same.
  LineEnded();
  if (choices_.choiceActive()) spokenText_.AnnounceChoice(choices_.list());
  RecordRollbackPoint();
}

void Player::FormClick() {
  spokenText_.ActionBegins();
  switch (input_.interactionState) {
    case kHidden:
      input_.interactionState = kShown;
      SetWaitIndicatorTimer(true);
      stage_.ShowKeptScreen();
      break;
    case kHistory: HistoryClick(); break;
    default:
      NextClick();
      services_.clock.WaitMs(100);
      skip_.Stop();
      break;
  }
}

// The window's events as they come from the backend. Any input of the player's own ends auto
// mode before the kit's handler sees it; the player's own keys never reach the game.
void Player::Click() {
  const uint32_t since = services_.clock.NowMs();
  autoMode_.Stop();
  FormClick();
  HandlerReturned(since);
}

void Player::KeyDown(KeyPress key) {
  const uint32_t since = services_.clock.NowMs();
  if (!PlayerKey(key)) {
    autoMode_.Stop();
    FormKeyDown(key);
  }
  HandlerReturned(since);
}

void Player::Wheel(WheelDirection direction) {
  const uint32_t since = services_.clock.NowMs();
  autoMode_.Stop();
  FormMouseWheel(direction);
  HandlerReturned(since);
}

void Player::MouseDown(MouseButton button, int x, int y) {
  const uint32_t since = services_.clock.NowMs();
  autoMode_.Stop();
  input_.pointerX = x;
  input_.pointerY = y;
  FormMouseDown(button, x, y);
  HandlerReturned(since);
}

void Player::HandlerReturned(uint32_t sinceMs) {
  if (!closed_) skip_.ShowMark();
  const uint32_t now = services_.clock.NowMs();
  if (now != sinceMs) inputGate_.SettledAt(now);
}

void Player::FormMouseDown(MouseButton button, int, int) {
  if (button != MouseButton::Right) return;
  if (input_.interactionState == kShown) {
    stage_.HideMessageWindow();
    SetWaitIndicatorTimer(false);
    input_.interactionState = kHidden;
    services_.clock.WaitMs(500);
  } else if (input_.interactionState == kHidden && scene_.historyMode == 1) {
    input_.interactionState = kHistory;
    OpenHistory();
  }
}

void Player::FormKeyDown(KeyPress key) {
  if (input_.interactionState == kHistory) return;
  // The space bar is Enter, whichever backend the key came from.
  if (key.code == KeyCode::Space) key.code = KeyCode::Enter;
  skip_.Stop();
  spokenText_.ActionBegins();
  if (choices_.choiceActive()) {
    ChoiceContext parts = ChoiceParts();
    CarryOutChoice(choices_.ChoiceKey(parts, key.code), false);
    if (choices_.choiceActive() && (key.code == KeyCode::Up || key.code == KeyCode::Down))
      spokenText_.SpeakChoice(choices_.list(), choices_.hoveredChoice());
    return;
  }
  if (key.code == KeyCode::Enter) NextClick();
}

void Player::FormMouseMove(int x, int y) {
  input_.pointerX = x;
  input_.pointerY = y;
  if (!window_.enabled || input_.interactionState == kHidden) return;
  if (input_.interactionState == kHistory) {
    HistoryMouseMove(x, y);
    return;
  }
  choices_.ForgetPointer();
  if (menus_.IsChecked("FullMode")) {
    if (y < 40) {
      services_.host.SetMenuBarVisible(true);
      window_.menuHidden = 0;
    } else if (window_.menuHidden == 0 && window_.fullScreen == 1) {
      services_.host.SetMenuBarVisible(false);
      window_.menuHidden = 1;
    }
  }
  if (choices_.Waiting()) {
    ChoiceContext parts = ChoiceParts();
    choices_.PointerMoved(parts, x, y);
  }
  spokenText_.SpeakPointedChoice(choices_);
}

void Player::Timer1Timer() {
  skip_.ShowMark();
  if (skip_.Advances()) NextClick();
}

void Player::Timer2Timer() {
  if (BlinkTimerHasWork()) waitIndicator_.Blink();
}

}  // namespace orv
