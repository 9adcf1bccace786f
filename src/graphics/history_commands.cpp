// The history screen's style commands: TMODE, TTXTPOS, TTXTSPR, TFONTCOLOR, TFONTSIZE,
// TFONTNAME, TBOXSIZE, TSCREENCG, TSCREENCOLOR, TSCREENMODE. They only store what the screen
// will look like the next time it opens.
#include <string>

#include "app/form.h"
#include "logic/inline_forms.h"
#include "script/command_handlers.h"

namespace orv {

namespace {

uint8_t LowByte(int32_t value) { return uint8_t(value & 0xFF); }

// A history the screen cannot show ends the game, as the kit always did.
bool RefuseHistoryStyle(TForm1& form) {
  form.ShowMessage("x");
  form.Close();
  return false;
}

}  // namespace

bool CmdTmode(TForm1& form) {
  form.scene.historyMode = ReadNumberArgument(form);
  if (form.scene.historyMode != 0 && form.scene.historyMode != 1) return RefuseHistoryStyle(form);
  return true;
}

bool CmdTtxtpos(TForm1& form) {
  form.scene.historyTextX = ReadNumberArgument(form);
  form.scene.historyTextY = ReadNumberArgument(form);
  return true;
}

bool CmdTtxtspr(TForm1& form) {
  form.scene.historyLineSpacing = ReadNumberArgument(form);
  return true;
}

bool CmdTfontcolor(TForm1& form) {
  const uint8_t red = LowByte(ReadNumberArgument(form));
  const uint8_t green = LowByte(ReadNumberArgument(form));
  const uint8_t blue = LowByte(ReadNumberArgument(form));
  form.scene.historyTextColor = ColorRefFromRgb(Rgb{red, green, blue});
  return true;
}

bool CmdTfontsize(TForm1& form) {
  form.scene.historyFontSize = ReadNumberArgument(form);
  if (form.scene.historyFontSize <= 0) return RefuseHistoryStyle(form);
  return true;
}

bool CmdTfontname(TForm1& form) {
  // Blanks belong to face names ("ＭＳ 明朝"); a name longer than the field is cut there.
  std::string skipped, name;
  form.reader.SetDelimiters("\"");
  form.reader.ReadToken(skipped, 256, false);
  form.reader.ReadToken(name, 256, false);
  form.scene.historyFontName.Set(name);
  return true;
}

bool CmdTboxsize(TForm1& form) {
  form.scene.historyLeft = ReadNumberArgument(form);
  form.scene.historyTop = ReadNumberArgument(form);
  form.scene.historyRight = ReadNumberArgument(form);
  form.scene.historyBottom = ReadNumberArgument(form);
  return true;
}

bool CmdTscreencg(TForm1& form) {
  form.scene.historyPictureName.Set(form.reader.ReadFileNameArgument());
  std::string skipped;
  form.reader.SetDelimiters(",");
  form.reader.ReadToken(skipped);
  form.scene.historyPictureX = ReadNumberArgument(form);
  form.scene.historyPictureY = ReadNumberArgument(form);
  return true;
}

bool CmdTscreencolor(TForm1& form) {
  form.scene.historyTintRed = LowByte(ReadNumberArgument(form));
  form.scene.historyTintGreen = LowByte(ReadNumberArgument(form));
  form.scene.historyTintBlue = LowByte(ReadNumberArgument(form));
  form.scene.historyTintStrength = LowByte(ReadNumberArgument(form));
  return true;
}

bool CmdTscreenmode(TForm1& form) {
  form.scene.historyScreenMode = ReadNumberArgument(form);
  return true;
}

}  // namespace orv
