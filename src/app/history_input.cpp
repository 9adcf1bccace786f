// The history screen's routing: the right button opens it (app/input.cpp), clicks and pointer
// moves go to it while it is open, and the wheel reads back through it.
#include "app/player.h"
#include "graphics/picture_cache.h"

namespace orv {

HistoryView Player::HistoryViewNow() {
  return HistoryView{stage_.Surface(), services_.fonts, scene_, interpreter_.history(), interpreter_.pageIndex()};
}

void Player::OpenHistory() {
  const auto picture = [this](std::string_view name) -> std::shared_ptr<const Image> {
    PictureLoad load = stage_.pictures().Load(name);
    if (!load) {
      ShowMessage(load.error().message);
      return nullptr;
    }
    return *load;
  };
  historyScreen_.Open(HistoryViewNow(), picture, input_.pointerX, input_.pointerY);
  stage_.PresentWindow();
}

void Player::HistoryMouseMove(int x, int y) {
  historyScreen_.MouseMove(HistoryViewNow(), x, y);
  stage_.PresentWindow();
}

void Player::HistoryClick() {
  if (historyScreen_.Click(HistoryViewNow())) input_.interactionState = kHidden;
  stage_.PresentWindow();
}

// Up opens the history when the game allows it (hiding the message window first when it
// shows) and turns to older pages; down turns to newer ones and closes it past the newest,
// as a click outside the arrows would.
void Player::FormMouseWheel(WheelDirection direction) {
  const bool up = direction == WheelDirection::Up;
  if (input_.interactionState == kHistory) {
    const HistoryView view = HistoryViewNow();
    if (!up && historyScreen_.shownPage() >= HistoryScreen::NewestPage(interpreter_.pageIndex())) {
      historyScreen_.Close(view);
      input_.interactionState = kHidden;
    } else {
      if (up)
        historyScreen_.PageUp(view);
      else
        historyScreen_.PageDown(view);
      // The pointer has not moved, but the arrows should not vanish under it.
      historyScreen_.MouseMove(view, input_.pointerX, input_.pointerY);
    }
    stage_.PresentWindow();
    return;
  }
  if (!up || scene_.historyMode != 1) return;
  // Like a key or a click, the wheel ends skip mode: the script must not run on beneath.
  skip_.Stop();
  if (input_.interactionState == kShown) {
    stage_.HideMessageWindow();
    SetWaitIndicatorTimer(false);
    input_.interactionState = kHidden;
  }
  if (input_.interactionState == kHidden) {
    input_.interactionState = kHistory;
    OpenHistory();
  }
}

}  // namespace orv
