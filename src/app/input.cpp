// The window's input handlers and timers: what a click, a key, the right button and the
// timers do in each interaction state.
#include "app/form.h"
#include "graphics/picture_cache.h"

namespace orv {

void TForm1::NextClick() {
  ClearWaitIndicator();
  if (interactionState == kHidden) {
    CopyImage(windowSurface, savedScreenImage);
    PresentWindow();
    interactionState = kShown;
    if (scene.nvMode != 0) SetTimer2Enabled(true);
    return;
  }
  if (choiceActive || pictureChoiceActive) {
    // Choices are taken by their own handlers once choices exist in this player.
    return;
  }
  if (pageEnded) {
    CopySameRect(screenImage, tintImage, ClipRect(MessageBox(), screenImage));
    textImage.Clear();
    RepaintScreen();
    pageEnded = false;
    textCursorX = scene.textX;
    textCursorY = scene.textY;
    TakeSavePoint();
  }
  InterpretStep();
}

void TForm1::FormClick() {
  switch (interactionState) {
    case kHidden:
      CopyImage(screenImage, savedScreenImage);
      interactionState = kShown;
      SetTimer2Enabled(true);
      RepaintScreen();
      break;
    case kHistory:
      HistoryClick();
      break;
    default:
      NextClick();
      clock().WaitMs(100);
      skipMode = false;
      break;
  }
}

void TForm1::MouseDown(MouseButton button, int x, int y) {
  pointerX = x;
  pointerY = y;
  FormMouseDown(button, x, y);
}

void TForm1::FormMouseDown(MouseButton button, int, int) {
  if (button != MouseButton::Right) return;
  if (interactionState == kShown) {
    CopyImage(savedScreenImage, windowSurface);
    ComposeStageToWindow();
    SetTimer2Enabled(false);
    interactionState = kHidden;
    clock().WaitMs(500);
  } else if (interactionState == kHidden && scene.historyMode == 1) {
    interactionState = kHistory;
    OpenHistory();
  }
}

// The wheel reads back through the history: up opens it (hiding the message window first
// when it shows) and turns to older pages, down turns to newer ones and closes it past the
// newest, as a click outside the arrows would.
void TForm1::FormMouseWheel(WheelDirection direction) {
  const bool up = direction == WheelDirection::Up;
  if (interactionState == kHistory) {
    const HistoryView view = HistoryViewNow();
    if (!up && historyScreen.shownPage >= HistoryScreen::NewestPage(pageIndex)) {
      historyScreen.Close(view);
      interactionState = kHidden;
    } else {
      if (up)
        historyScreen.PageUp(view);
      else
        historyScreen.PageDown(view);
      // The pointer has not moved, but the arrows should not vanish under it.
      historyScreen.MouseMove(view, pointerX, pointerY);
    }
    PresentWindow();
    return;
  }
  if (!up || scene.historyMode != 1) return;
  // Like a key or a click, the wheel ends skip mode: the script must not run on beneath.
  skipMode = false;
  if (interactionState == kShown) {
    CopyImage(savedScreenImage, windowSurface);
    ComposeStageToWindow();
    SetTimer2Enabled(false);
    interactionState = kHidden;
  }
  if (interactionState == kHidden) {
    interactionState = kHistory;
    OpenHistory();
  }
}

void TForm1::FormKeyDown(KeyPress key) {
  if (interactionState == kHistory) return;
  skipMode = false;
  if (choiceActive) return;  // choices are driven by their own handlers
  if (key.code == KeyCode::Enter) NextClick();
}

void TForm1::FormMouseMove(int x, int y) {
  pointerX = x;
  pointerY = y;
  if (!windowEnabled || interactionState == kHidden) return;
  if (interactionState == kHistory) {
    HistoryMouseMove(x, y);
    return;
  }
  pointerOnChoice = false;
  if (IsChecked("FullMode")) {
    if (y < 40) {
      host().SetMenuBarVisible(true);
      menuHidden = 0;
    } else if (menuHidden == 0 && fullScreen == 1) {
      host().SetMenuBarVisible(false);
      menuHidden = 1;
    }
  }
}

HistoryView TForm1::HistoryViewNow() {
  return HistoryView{windowSurface, services.fonts, scene, history, pageIndex};
}

void TForm1::OpenHistory() {
  const auto picture = [this](std::string_view name) -> std::shared_ptr<const Image> {
    PictureLoad load = pictures().Load(name);
    if (load.failed()) ShowMessage(load.message);
    return load.loaded() ? load.image : nullptr;
  };
  historyScreen.Open(HistoryViewNow(), picture, pointerX, pointerY);
  PresentWindow();
}

void TForm1::HistoryMouseMove(int x, int y) {
  historyScreen.MouseMove(HistoryViewNow(), x, y);
  PresentWindow();
}

void TForm1::HistoryClick() {
  if (historyScreen.Click(HistoryViewNow())) interactionState = kHidden;
  PresentWindow();
}

void TForm1::SKIPClick() {
  if (!choiceActive) skipMode = !skipMode;
}

void TForm1::Timer1Timer() {
  // An advance would draw the next text over the history screen.
  if (skipMode && interactionState != kHistory) NextClick();
}

Rect TForm1::WaitIndicatorRect(bool forPage) const {
  const Image& icon = forPage ? pageWaitIcon : lineWaitIcon;
  int x = scene.boxRight - icon.width() - 5;
  int y = scene.nvPlace == 1 ? scene.boxBottom - lineWaitIcon.height()
                             : textCursorY - (scene.lineSpacing + scene.fontSize);
  return Rect{x, y, x + icon.width(), y + icon.height()};
}

void TForm1::Timer2Timer() {
  if (scene.nvMode == 0 || interactionState == kHidden || choiceActive) return;
  const Image& icon = pageEnded ? pageWaitIcon : lineWaitIcon;
  Rect place = WaitIndicatorRect(pageEnded);
  blinkPhase = !blinkPhase;
  if (blinkPhase) {
    CopySameRect(windowSurface, tintImage, place);
  } else if (!icon.empty()) {
    // Pixels of the picture's bottom-left colour are see-through.
    DrawTransparent(windowSurface, place.left, place.top, icon, icon.Pixel(0, icon.height() - 1));
  }
  PresentWindow();
}

void TForm1::ClearWaitIndicator() {
  if (scene.nvMode != 1) return;
  CopySameRect(screenImage, tintImage, WaitIndicatorRect(pageEnded));
}

}  // namespace orv
