#include "graphics/stage_commands.h"

#include <algorithm>

#include "graphics/stage.h"
#include "logic/command_context.h"
#include "platform/sjis.h"
#include "logic/inline_forms.h"

namespace orv {

namespace {
// BOXCOL and BOXSIZE show the change at once: the stage with the tinted box, no text.
void RedrawBox(const CommandContext& ctx, Stage& stage) {
  const SceneState& s = ctx.scene;
  stage.RetintMessageBox(s.boxAlpha, s.boxRed, s.boxGreen, s.boxBlue);
}
}  // namespace

bool CmdFontColor(const CommandContext& ctx, Stage& stage) {
  const uint8_t red = uint8_t(ReadNumberArgument(ctx));
  const uint8_t green = uint8_t(ReadNumberArgument(ctx));
  const uint8_t blue = uint8_t(ReadNumberArgument(ctx));
  const uint8_t kind = uint8_t(ReadNumberArgument(ctx));
  const ColorRef color = ColorRefFromRgb(Rgb{red, green, blue});
  switch (kind) {
    case 0: ctx.story.SetTextColor(color); break;
    case 1: ctx.scene.choiceColor = color; break;
    case 2: ctx.scene.choiceHoverColor = color; break;
    default: break;
  }
  return true;
}

bool CmdFontSize(const CommandContext& ctx, Stage& stage) {
  // A value taken from a variable keeps only its low byte; a number is taken whole.
  bool fromVariable = false;
  const int32_t size = ReadNumberArgument(ctx, &fromVariable);
  ctx.scene.fontSize = fromVariable ? (size & 0xFF) : size;
  return true;
}

bool CmdFontName(const CommandContext& ctx, Stage& stage) {
  std::string skipped, name;
  ctx.reader.SetDelimiters("\"");
  ctx.reader.ReadToken(skipped, 256, false);
  ctx.reader.ReadToken(name, 256, false);
  ctx.scene.fontName.Set(name);
  return true;
}

bool CmdTxtPos(const CommandContext& ctx, Stage& stage) {
  ctx.scene.textX = ReadNumberArgument(ctx);
  ctx.scene.textY = ReadNumberArgument(ctx);
  ctx.story.PlaceCursor(ctx.scene.textX, ctx.scene.textY);
  return true;
}

bool CmdTxtSpr(const CommandContext& ctx, Stage& stage) {
  ctx.scene.lineSpacing = ReadNumberArgument(ctx);
  return true;
}

bool CmdBoxCol(const CommandContext& ctx, Stage& stage) {
  ctx.scene.boxRed = uint8_t(ReadNumberArgument(ctx));
  ctx.scene.boxGreen = uint8_t(ReadNumberArgument(ctx));
  ctx.scene.boxBlue = uint8_t(ReadNumberArgument(ctx));
  ctx.scene.boxAlpha = uint8_t(std::clamp(ReadNumberArgument(ctx), 0, 255));
  ctx.story.PlaceCursor(ctx.scene.textX, ctx.scene.textY);
  RedrawBox(ctx, stage);
  return true;
}

bool CmdBoxSize(const CommandContext& ctx, Stage& stage) {
  ctx.scene.boxLeft = ReadNumberArgument(ctx);
  ctx.scene.boxTop = ReadNumberArgument(ctx);
  ctx.scene.boxRight = ReadNumberArgument(ctx);
  ctx.scene.boxBottom = ReadNumberArgument(ctx);
  RedrawBox(ctx, stage);
  return true;
}

}  // namespace orv
