#include "app/wait_indicator.h"

namespace orv {

Rect WaitIndicator::Place(bool forPage) const {
  const Image& icon = stage_.WaitIcon(forPage);
  int x = scene_.boxRight - icon.width() - 5;
  int y = scene_.nvPlace == 1 ? scene_.boxBottom - stage_.WaitIcon(false).height()
                              : interpreter_.textCursorY() - (scene_.lineSpacing + scene_.fontSize);
  return Rect{x, y, x + icon.width(), y + icon.height()};
}

void WaitIndicator::Blink() {
  const Rect place = Place(interpreter_.pageEnded());
  hidden_ = !hidden_;
  if (hidden_)
    stage_.EraseFromWindow(place);
  else
    stage_.DrawOnWindow(stage_.WaitIcon(interpreter_.pageEnded()), place);
  stage_.PresentWindow();
}

void WaitIndicator::Clear() {
  if (scene_.nvMode != 1) return;
  stage_.EraseFromScreen(Place(interpreter_.pageEnded()));
}

}  // namespace orv
