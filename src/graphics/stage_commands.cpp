// The script commands that change the stage: LOADBG, LOADCHAR, CHARCLR, CHARPOS, CHARMODE.
#include <string>

#include "graphics/stage.h"
#include "logic/command_context.h"
#include "platform/sjis.h"
#include "graphics/transitions.h"
#include "logic/inline_forms.h"
#include "graphics/stage_commands.h"

namespace orv {

namespace {

// LOADBG and LOADCHAR accept effect numbers up to 20; only 1..16 have an effect.
constexpr int kLastAcceptedEffect = 20;

bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kCharacterSlots; }

// After a quoted name the reader drops whatever stands before the next comma.
void SkipToComma(const CommandContext& ctx) {
  std::string skipped;
  ctx.reader.SetDelimiters(",");
  ctx.reader.ReadToken(skipped);
}

int CheckedEffect(const CommandContext& ctx, int32_t effect) {
  if (effect >= 0 && effect <= kLastAcceptedEffect) return effect;
  ctx.dialogs.ShowMessage(Sj("存在しないエフェクトＮＯを選択しました。"));
  return 0;
}

// The new stage reaches the window through the effect, or at once while the player pages
// through or skips.
void ShowNewStage(const CommandContext& ctx, Stage& stage, int effect, int speed) {
  if (!ctx.player.PageModeOn() && !ctx.player.SkipMode()) RunTransition(stage, effect, speed, stage.StageLayer());
  stage.PresentStage();
}

// Slots without the keep byte leave the stage when the background changes.
void ClearUnkeptCharacters(SceneState& scene) {
  for (size_t s = 0; s < kCharacterSlots; ++s)
    if (scene.charModeB[s] == 0) scene.charShown[s] = 0;
}

}  // namespace

bool CmdLoadbg(const CommandContext& ctx, Stage& stage) {
  ctx.scene.backgroundName.Set(ctx.reader.ReadFileNameArgument());
  SkipToComma(ctx);
  const int32_t effect = ReadNumberArgument(ctx);
  const int32_t speed = ReadNumberArgument(ctx);
  ctx.scene.backgroundShown = 1;
  if (!stage.LoadBackground()) return true;
  ClearUnkeptCharacters(ctx.scene);
  // The wait indicator must not blink over the stage while it changes.
  ctx.player.SetWaitIndicatorTimer(false);
  if (stage.ComposeStage(false)) {
    ShowNewStage(ctx, stage, CheckedEffect(ctx, effect), speed);
    ctx.scene.backgroundColor = 0;
  }
  ctx.player.SetWaitIndicatorTimer(true);
  return true;
}

bool CmdLoadchar(const CommandContext& ctx, Stage& stage) {
  const std::string name = ctx.reader.ReadFileNameArgument();
  SkipToComma(ctx);
  const int32_t slot = ReadNumberArgument(ctx);
  const int32_t effect = ReadNumberArgument(ctx);
  const int32_t speed = ReadNumberArgument(ctx);
  if (!ValidSlot(slot)) return true;
  ctx.scene.charName[size_t(slot)].Set(name);
  ctx.scene.charShown[size_t(slot)] = 1;
  const int checked = CheckedEffect(ctx, effect);
  if (stage.ComposeStage(true)) ShowNewStage(ctx, stage, checked, speed);
  return true;
}

bool CmdCharclr(const CommandContext& ctx, Stage& stage) {
  const int32_t slot = ReadNumberArgument(ctx);
  const int32_t effect = ReadNumberArgument(ctx);
  const int32_t speed = ReadNumberArgument(ctx);
  if (!ValidSlot(slot)) return true;
  ctx.scene.charShown[size_t(slot)] = 0;
  ctx.scene.charName[size_t(slot)].Clear();
  // No range test here: a number without an effect shows the stage at once.
  if (stage.ComposeStage(true)) ShowNewStage(ctx, stage, effect, speed);
  return true;
}

bool CmdCharpos(const CommandContext& ctx, Stage& stage) {
  const int32_t slot = ReadNumberArgument(ctx);
  const int32_t x = ReadNumberArgument(ctx);
  const int32_t y = ReadNumberArgument(ctx);
  if (!ValidSlot(slot)) return true;
  ctx.scene.charX[size_t(slot)] = x;
  ctx.scene.charY[size_t(slot)] = y <= 0 ? 1 : y;
  return true;
}

bool CmdCharmode(const CommandContext& ctx, Stage& stage) {
  const int32_t slot = ReadNumberArgument(ctx);
  const uint8_t mode = uint8_t(ReadNumberArgument(ctx));
  const uint8_t keep = uint8_t(ReadNumberArgument(ctx));
  const uint8_t showWhenHidden = uint8_t(ReadNumberArgument(ctx));
  if (!ValidSlot(slot)) return true;
  ctx.scene.charMode[size_t(slot)] = mode;
  ctx.scene.charModeB[size_t(slot)] = keep;
  ctx.scene.charModeC[size_t(slot)] = showWhenHidden;
  return true;
}

}  // namespace orv
