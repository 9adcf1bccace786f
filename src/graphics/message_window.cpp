#include "graphics/message_window.h"

#include <algorithm>

#include "app/form.h"
#include "logic/inline_forms.h"

namespace orv {

namespace {
// BOXCOL and BOXSIZE show the change at once: the stage with the tinted box, no text.
void RedrawBox(TForm1& form) {
  CopyImage(form.screenImage, form.stageImage);
  const SceneState& s = form.scene;
  form.TintMessageBox(s.boxAlpha, s.boxRed, s.boxGreen, s.boxBlue);
}
}  // namespace

bool CmdFontColor(TForm1& form) {
  const uint8_t red = uint8_t(ReadNumberArgument(form));
  const uint8_t green = uint8_t(ReadNumberArgument(form));
  const uint8_t blue = uint8_t(ReadNumberArgument(form));
  const uint8_t kind = uint8_t(ReadNumberArgument(form));
  const ColorRef color = ColorRefFromRgb(Rgb{red, green, blue});
  switch (kind) {
    case 0: form.textColor = color; break;
    case 1: form.scene.choiceColor = color; break;
    case 2: form.scene.choiceHoverColor = color; break;
    default: break;
  }
  return true;
}

bool CmdFontSize(TForm1& form) {
  // A value taken from a variable keeps only its low byte; a number is taken whole.
  bool fromVariable = false;
  const int32_t size = ReadNumberArgument(form, &fromVariable);
  form.scene.fontSize = fromVariable ? (size & 0xFF) : size;
  return true;
}

bool CmdFontName(TForm1& form) {
  std::string skipped, name;
  form.reader.SetDelimiters("\"");
  form.reader.ReadToken(skipped, 256, false);
  form.reader.ReadToken(name, 256, false);
  form.scene.fontName.Set(name);
  return true;
}

bool CmdTxtPos(TForm1& form) {
  form.scene.textX = ReadNumberArgument(form);
  form.scene.textY = ReadNumberArgument(form);
  form.textCursorX = form.scene.textX;
  form.textCursorY = form.scene.textY;
  return true;
}

bool CmdTxtSpr(TForm1& form) {
  form.scene.lineSpacing = ReadNumberArgument(form);
  return true;
}

bool CmdBoxCol(TForm1& form) {
  form.scene.boxRed = uint8_t(ReadNumberArgument(form));
  form.scene.boxGreen = uint8_t(ReadNumberArgument(form));
  form.scene.boxBlue = uint8_t(ReadNumberArgument(form));
  form.scene.boxAlpha = uint8_t(std::clamp(ReadNumberArgument(form), 0, 255));
  form.textCursorX = form.scene.textX;
  form.textCursorY = form.scene.textY;
  RedrawBox(form);
  return true;
}

bool CmdBoxSize(TForm1& form) {
  form.scene.boxLeft = ReadNumberArgument(form);
  form.scene.boxTop = ReadNumberArgument(form);
  form.scene.boxRight = ReadNumberArgument(form);
  form.scene.boxBottom = ReadNumberArgument(form);
  RedrawBox(form);
  return true;
}

}  // namespace orv
