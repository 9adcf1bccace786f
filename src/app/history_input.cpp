// The history screen's routing: the right button opens it (app/input.cpp), clicks and pointer
// moves go to it while it is open, and the wheel reads back through it.
#include "app/player.h"
#include "graphics/picture_cache.h"

namespace orv {

HistoryView Player::HistoryViewNow() {
  return HistoryView{stage.windowSurface, services.fonts, scene, interpreter.history(), interpreter.pageIndex()};
}

void Player::OpenHistory() {
  const auto picture = [this](std::string_view name) -> std::shared_ptr<const Image> {
    PictureLoad load = stage.pictures().Load(name);
    if (!load) {
      ShowMessage(load.error().message);
      return nullptr;
    }
    return *load;
  };
  historyScreen.Open(HistoryViewNow(), picture, input.pointerX, input.pointerY);
  stage.PresentWindow();
}

void Player::HistoryMouseMove(int x, int y) {
  historyScreen.MouseMove(HistoryViewNow(), x, y);
  stage.PresentWindow();
}

void Player::HistoryClick() {
  if (historyScreen.Click(HistoryViewNow())) input.interactionState = kHidden;
  stage.PresentWindow();
}

// Up opens the history when the game allows it (hiding the message window first when it
// shows) and turns to older pages; down turns to newer ones and closes it past the newest,
// as a click outside the arrows would.
void Player::FormMouseWheel(WheelDirection direction) {
  const bool up = direction == WheelDirection::Up;
  if (input.interactionState == kHistory) {
    const HistoryView view = HistoryViewNow();
    if (!up && historyScreen.shownPage() >= HistoryScreen::NewestPage(interpreter.pageIndex())) {
      historyScreen.Close(view);
      input.interactionState = kHidden;
    } else {
      if (up)
        historyScreen.PageUp(view);
      else
        historyScreen.PageDown(view);
      // The pointer has not moved, but the arrows should not vanish under it.
      historyScreen.MouseMove(view, input.pointerX, input.pointerY);
    }
    stage.PresentWindow();
    return;
  }
  if (!up || scene.historyMode != 1) return;
  // Like a key or a click, the wheel ends skip mode: the script must not run on beneath.
  input.skipMode = false;
  if (input.interactionState == kShown) {
    CopyImage(stage.savedScreenImage, stage.windowSurface);
    stage.ComposeStageToWindow();
    SetWaitIndicatorTimer(false);
    input.interactionState = kHidden;
  }
  if (input.interactionState == kHidden) {
    input.interactionState = kHistory;
    OpenHistory();
  }
}

}  // namespace orv
