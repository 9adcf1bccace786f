// The stage: the composed background and characters, the tinted message box over it, and the
// order in which a changed stage reaches the screen.
#include "app/form.h"

namespace orv {

void TForm1::TintMessageBox(uint8_t opacity, uint8_t red, uint8_t green, uint8_t blue) {
  CopyImage(tintImage, screenImage);
  const Rect box = ClipRect(MessageBox(), tintImage);
  if (box.Empty()) return;
  const int target[3] = {blue, green, red};
  for (int y = box.top; y < box.bottom; ++y) {
    uint8_t* p = tintImage.row(y) + size_t(box.left) * 3;
    for (int x = box.left; x < box.right; ++x)
      for (int c = 0; c < 3; ++c, ++p) *p = uint8_t(((target[c] - *p) * int(opacity) + *p * 256) >> 8);
  }
  CopySameRect(screenImage, tintImage, box);
}

void TForm1::ComposeStage(bool restoreBox) {
  if (restoreBox) {
    CopySameRect(windowSurface, stageImage, ClipRect(MessageBox(), windowSurface));
    PresentWindow();
  }
  CopyImage(stageImage, backgroundPixels);
}

void TForm1::ComposeStageToWindow() {
  CopyImage(windowSurface, backgroundPixels);
  PresentWindow();
}

void TForm1::PresentStage() {
  CopyImage(screenImage, stageImage);
  TintMessageBox(scene.boxAlpha, scene.boxRed, scene.boxGreen, scene.boxBlue);
  textImage.DrawOver(screenImage);
  RepaintScreen();
}

}  // namespace orv
