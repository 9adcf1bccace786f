// FADEOUT and FLASH: the whole stage covered by a plain colour.
#include <algorithm>

#include "app/form.h"
#include "graphics/transitions.h"
#include "logic/inline_forms.h"
#include "script/command_handlers.h"

namespace orv {

namespace {
constexpr int kCrossFade = 9;

Rgb ReadColor(TForm1& form) {
  const uint8_t red = uint8_t(ReadNumberArgument(form));
  const uint8_t green = uint8_t(ReadNumberArgument(form));
  const uint8_t blue = uint8_t(ReadNumberArgument(form));
  return Rgb{red, green, blue};
}
}  // namespace

// Cross-fades the window into the colour, which becomes the new, empty background. Kept
// characters come back at the next composition.
bool CmdFadeout(TForm1& form) {
  const Rgb color = ReadColor(form);
  const int32_t speed = std::max(ReadNumberArgument(form), 0);
  SceneState& scene = form.scene;
  for (size_t s = 0; s < kCharacterSlots; ++s)
    if (scene.charModeB[s] == 0) scene.charShown[s] = 0;
  scene.backgroundShown = 0;
  scene.backgroundColor = ColorRefFromRgb(color);

  Image layer(kStageWidth, kStageHeight);
  layer.Fill(color);
  if (!form.pageMode() && !form.skipMode)
    RunEffect(form, kCrossFade, Rect{0, 0, kStageWidth, kStageHeight}, speed, layer);
  CopyImage(form.tintImage, layer);
  CopyImage(form.screenImage, layer);
  CopyImage(form.stageImage, layer);
  form.TintMessageBox(scene.boxAlpha, scene.boxRed, scene.boxGreen, scene.boxBlue);
  form.backgroundPixels.Fill(color);
  // The screen shows the colour and the tinted box, without the message text: the fade
  // ends one rounding short of the colour, and with paging or skipping on it never ran.
  form.RepaintScreen();
  return true;
}

// Blinks the window between the colour and what it showed, count times; changes nothing else.
bool CmdFlash(TForm1& form) {
  const Rgb color = ReadColor(form);
  const int32_t count = ReadNumberArgument(form);
  const int32_t delay = ReadNumberArgument(form);
  Image flash(kStageWidth, kStageHeight);
  flash.Fill(color);
  const Image saved = form.windowSurface;
  for (int32_t i = 0; i < count; ++i) {
    CopyImage(form.windowSurface, flash);
    form.PresentWindow();
    form.WaitMs(delay);
    CopyImage(form.windowSurface, saved);
    form.PresentWindow();
    form.WaitMs(delay);
  }
  return true;
}

}  // namespace orv
