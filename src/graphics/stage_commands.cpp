// The script commands that change the stage: LOADBG, LOADCHAR, CHARCLR, CHARPOS, CHARMODE.
#include <string>

#include "app/form.h"
#include "graphics/transitions.h"
#include "logic/inline_forms.h"
#include "script/command_handlers.h"

namespace orv {

namespace {

// LOADBG and LOADCHAR accept effect numbers up to 20; only 1..16 have an effect.
constexpr int kLastAcceptedEffect = 20;

bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kCharacterSlots; }

// After a quoted name the reader drops whatever stands before the next comma.
void SkipToComma(TForm1& form) {
  std::string skipped;
  form.reader.SetDelimiters(",");
  form.reader.ReadToken(skipped);
}

int CheckedEffect(TForm1& form, int32_t effect) {
  if (effect >= 0 && effect <= kLastAcceptedEffect) return effect;
  form.ShowMessage(Sj("存在しないエフェクトＮＯを選択しました。"));
  return 0;
}

// The new stage reaches the window through the effect, or at once while the player pages
// through or skips.
void ShowNewStage(TForm1& form, int effect, int speed) {
  if (!form.pageMode() && !form.skipMode) RunTransition(form, effect, speed);
  form.PresentStage();
}

// Slots without the keep byte leave the stage when the background changes.
void ClearUnkeptCharacters(SceneState& scene) {
  for (size_t s = 0; s < kCharacterSlots; ++s)
    if (scene.charModeB[s] == 0) scene.charShown[s] = 0;
}

}  // namespace

bool CmdLoadbg(TForm1& form) {
  form.scene.backgroundName.Set(form.reader.ReadFileNameArgument());
  SkipToComma(form);
  const int32_t effect = ReadNumberArgument(form);
  const int32_t speed = ReadNumberArgument(form);
  form.scene.backgroundShown = 1;
  if (!form.LoadBackground()) return true;
  ClearUnkeptCharacters(form.scene);
  // The wait indicator must not blink over the stage while it changes.
  form.SetTimer2Enabled(false);
  if (form.ComposeStage(false)) {
    ShowNewStage(form, CheckedEffect(form, effect), speed);
    form.scene.backgroundColor = 0;
  }
  form.SetTimer2Enabled(true);
  return true;
}

bool CmdLoadchar(TForm1& form) {
  const std::string name = form.reader.ReadFileNameArgument();
  SkipToComma(form);
  const int32_t slot = ReadNumberArgument(form);
  const int32_t effect = ReadNumberArgument(form);
  const int32_t speed = ReadNumberArgument(form);
  if (!ValidSlot(slot)) return true;
  form.scene.charName[size_t(slot)].Set(name);
  form.scene.charShown[size_t(slot)] = 1;
  const int checked = CheckedEffect(form, effect);
  if (form.ComposeStage(true)) ShowNewStage(form, checked, speed);
  return true;
}

bool CmdCharclr(TForm1& form) {
  const int32_t slot = ReadNumberArgument(form);
  const int32_t effect = ReadNumberArgument(form);
  const int32_t speed = ReadNumberArgument(form);
  if (!ValidSlot(slot)) return true;
  form.scene.charShown[size_t(slot)] = 0;
  form.scene.charName[size_t(slot)].Clear();
  // No range test here: a number without an effect shows the stage at once.
  if (form.ComposeStage(true)) ShowNewStage(form, effect, speed);
  return true;
}

bool CmdCharpos(TForm1& form) {
  const int32_t slot = ReadNumberArgument(form);
  const int32_t x = ReadNumberArgument(form);
  const int32_t y = ReadNumberArgument(form);
  if (!ValidSlot(slot)) return true;
  form.scene.charX[size_t(slot)] = x;
  form.scene.charY[size_t(slot)] = y <= 0 ? 1 : y;
  return true;
}

bool CmdCharmode(TForm1& form) {
  const int32_t slot = ReadNumberArgument(form);
  const uint8_t mode = uint8_t(ReadNumberArgument(form));
  const uint8_t keep = uint8_t(ReadNumberArgument(form));
  const uint8_t showWhenHidden = uint8_t(ReadNumberArgument(form));
  if (!ValidSlot(slot)) return true;
  form.scene.charMode[size_t(slot)] = mode;
  form.scene.charModeB[size_t(slot)] = keep;
  form.scene.charModeC[size_t(slot)] = showWhenHidden;
  return true;
}

}  // namespace orv
