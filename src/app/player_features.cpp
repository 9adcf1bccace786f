// What this player adds to the kit's window, on keys and in the player's own menu section:
// auto mode, speech, screenshots and the reading tools' socket. None of it changes what a game
// does or what it stores; the features themselves are parts of their own, this only routes.
#include "app/player.h"

namespace orv {

bool Player::PlayerKey(KeyPress key) {
  if (RollbackKey(key)) return true;
  if (key.code == KeyCode::F12) {
    TakeScreenshot();
    return true;
  }
  if (key.code == KeyCode::Letter && key.letter == 'A') {
    autoMode_.Toggle();
    return true;
  }
  if (key.code == KeyCode::Letter && key.letter == 'V') {
    spokenText_.Toggle();
    return true;
  }
  return false;
}

bool Player::PlayerMenuClick(std::string_view name) {
  if (name == "AutoMode") {
    autoMode_.Toggle();
  } else if (name == "Speak") {
    spokenText_.Toggle();
  } else if (name == "Screenshot") {
    TakeScreenshot();
  } else if (name == "StepBack") {
    StepBack();
  } else if (name == "StepForward") {
    StepForward();
  } else if (name == "TextSocket") {
    textSocket_.Toggle();
  } else {
    return false;
  }
  return true;
}

void Player::StepEnded() { autoMode_.StepEnded(closed_); }

// Only a story that waits for a click goes on by itself: a choice, the hidden message box and
// the history screen are the player's to leave.
bool Player::MayAdvanceByItself() const {
  return !closed_ && window_.enabled && input_.interactionState == kShown && !choices_.Waiting();
}

}  // namespace orv
