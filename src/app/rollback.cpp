// Stepping back through the story, as the player routes it: the keys and the menu items, and
// when a step is allowed. Keeping and putting back the points is the rollback part's own.
//
// Only this run's memory goes back: files the game wrote (slots, variable files) stay as they
// are. A game that turns saving or loading off has its reasons (a scene that must not be left
// half way), so stepping back is off then too, and nothing is kept meanwhile.
#include "app/player.h"

namespace orv {

bool Player::RollbackAllowed() const {
  return !closed_ && window_.enabled && menus_.IsEnabled("Save") && menus_.IsEnabled("Load");
}

void Player::RecordRollbackPoint() {
  if (RollbackAllowed()) rollback_.Keep();
}

bool Player::StepBack() {
  if (!RollbackAllowed() || input_.interactionState != kShown || rollback_.ring().position() == 0) return false;
  autoMode_.Stop();
  skip_.StopAndShow();
  spokenText_.ActionBegins();
  return rollback_.Back();
}

bool Player::StepForward() {
  if (!RollbackAllowed() || input_.interactionState != kShown || !rollback_.OnPoint() || rollback_.ring().ahead() == 0)
    return false;
  spokenText_.ActionBegins();
  return rollback_.Forward();
}

bool Player::RollbackKey(KeyPress key) {
  if (key.code == KeyCode::Backspace || key.code == KeyCode::PageUp) {
    StepBack();
    return true;
  }
  if (key.code == KeyCode::PageDown) {
    // Along the path kept, else on with the story; a waiting choice is the player's to take.
    if (!StepForward() && rollback_.ring().ahead() == 0 && input_.interactionState == kShown &&
        !choices_.choiceActive() && !choices_.pictureChoiceActive()) {
      autoMode_.Stop();
      FormKeyDown(KeyPress{KeyCode::Enter});
    }
    return true;
  }
  return false;
}

}  // namespace orv
