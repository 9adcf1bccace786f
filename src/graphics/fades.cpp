// FADEOUT and FLASH: the whole stage covered by a plain colour.
#include <algorithm>

#include "graphics/stage.h"
#include "logic/command_context.h"
#include "platform/sjis.h"
#include "graphics/transitions.h"
#include "logic/inline_forms.h"
#include "graphics/stage_commands.h"

namespace orv {

namespace {
Rgb ReadColor(const CommandContext& ctx) {
  const uint8_t red = uint8_t(ReadNumberArgument(ctx));
  const uint8_t green = uint8_t(ReadNumberArgument(ctx));
  const uint8_t blue = uint8_t(ReadNumberArgument(ctx));
  return Rgb{red, green, blue};
}
}  // namespace

// Cross-fades the window into the colour, which becomes the new, empty background. Kept
// characters come back at the next composition.
bool CmdFadeout(const CommandContext& ctx, Stage& stage) {
  const Rgb color = ReadColor(ctx);
  const int32_t speed = std::max(ReadNumberArgument(ctx), 0);
  SceneState& scene = ctx.scene;
  for (size_t s = 0; s < kCharacterSlots; ++s)
    if (scene.charModeB[s] == 0) scene.charShown[s] = 0;
  scene.backgroundShown = 0;
  scene.backgroundColor = ColorRefFromRgb(color);

  stage.CoverWithColor(color, !ctx.player.PageModeOn() && !ctx.player.SkipMode(), speed);
  stage.TintMessageBox(scene.boxAlpha, scene.boxRed, scene.boxGreen, scene.boxBlue);
  // The screen shows the colour and the tinted box, without the message text: the fade
  // ends one rounding short of the colour, and with paging or skipping on it never ran.
  stage.RepaintScreen();
  return true;
}

// Blinks the window between the colour and what it showed, count times; changes nothing else.
bool CmdFlash(const CommandContext& ctx, Stage& stage) {
  const Rgb color = ReadColor(ctx);
  const int32_t count = ReadNumberArgument(ctx);
  const int32_t delay = ReadNumberArgument(ctx);
  if (!stage.Flash(color, count, delay)) ctx.player.EndGame();
  return true;
}

}  // namespace orv
