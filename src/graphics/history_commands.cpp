#include "graphics/history_commands.h"

#include <string>

#include "logic/command_context.h"
#include "logic/inline_forms.h"
#include "platform/image.h"

namespace orv {

namespace {

uint8_t LowByte(int32_t value) { return uint8_t(value & 0xFF); }

// A history the screen cannot show ends the game, as the kit always did.
bool RefuseHistoryStyle(const CommandContext& ctx) {
  ctx.dialogs.ShowMessage("x");
  ctx.player.EndGame();
  return false;
}

}  // namespace

bool CmdTmode(const CommandContext& ctx) {
  ctx.scene.historyMode = ReadNumberArgument(ctx);
  if (ctx.scene.historyMode != 0 && ctx.scene.historyMode != 1) return RefuseHistoryStyle(ctx);
  return true;
}

bool CmdTtxtpos(const CommandContext& ctx) {
  ctx.scene.historyTextX = ReadNumberArgument(ctx);
  ctx.scene.historyTextY = ReadNumberArgument(ctx);
  return true;
}

bool CmdTtxtspr(const CommandContext& ctx) {
  ctx.scene.historyLineSpacing = ReadNumberArgument(ctx);
  return true;
}

bool CmdTfontcolor(const CommandContext& ctx) {
  const uint8_t red = LowByte(ReadNumberArgument(ctx));
  const uint8_t green = LowByte(ReadNumberArgument(ctx));
  const uint8_t blue = LowByte(ReadNumberArgument(ctx));
  ctx.scene.historyTextColor = ColorRefFromRgb(Rgb{red, green, blue});
  return true;
}

bool CmdTfontsize(const CommandContext& ctx) {
  ctx.scene.historyFontSize = ReadNumberArgument(ctx);
  if (ctx.scene.historyFontSize <= 0) return RefuseHistoryStyle(ctx);
  return true;
}

bool CmdTfontname(const CommandContext& ctx) {
  // Blanks belong to face names ("ＭＳ 明朝"); a name longer than the field is cut there.
  std::string skipped, name;
  ctx.reader.SetDelimiters("\"");
  ctx.reader.ReadToken(skipped, 256, false);
  ctx.reader.ReadToken(name, 256, false);
  ctx.scene.historyFontName.Set(name);
  return true;
}

bool CmdTboxsize(const CommandContext& ctx) {
  ctx.scene.historyLeft = ReadNumberArgument(ctx);
  ctx.scene.historyTop = ReadNumberArgument(ctx);
  ctx.scene.historyRight = ReadNumberArgument(ctx);
  ctx.scene.historyBottom = ReadNumberArgument(ctx);
  return true;
}

bool CmdTscreencg(const CommandContext& ctx) {
  ctx.scene.historyPictureName.Set(ctx.reader.ReadFileNameArgument());
  std::string skipped;
  ctx.reader.SetDelimiters(",");
  ctx.reader.ReadToken(skipped);
  ctx.scene.historyPictureX = ReadNumberArgument(ctx);
  ctx.scene.historyPictureY = ReadNumberArgument(ctx);
  return true;
}

bool CmdTscreencolor(const CommandContext& ctx) {
  ctx.scene.historyTintRed = LowByte(ReadNumberArgument(ctx));
  ctx.scene.historyTintGreen = LowByte(ReadNumberArgument(ctx));
  ctx.scene.historyTintBlue = LowByte(ReadNumberArgument(ctx));
  ctx.scene.historyTintStrength = LowByte(ReadNumberArgument(ctx));
  return true;
}

bool CmdTscreenmode(const CommandContext& ctx) {
  ctx.scene.historyScreenMode = ReadNumberArgument(ctx);
  return true;
}

}  // namespace orv
