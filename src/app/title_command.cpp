// TITLE: names the window after the story, followed by the player's version.
#include "app/form.h"
#include "script/command_handlers.h"

namespace orv {

bool CmdTitle(TForm1& form) {
  std::string skipped, title;
  form.reader.SetDelimiters("\",&");
  form.reader.ReadToken(skipped);
  form.reader.SetDelimiters("\"");
  form.reader.ReadToken(title);
  form.scene.windowCaption.Set(title + Sj("　【") + std::string(kVersionCaption) + Sj("】"));
  form.SetCaption(form.scene.windowCaption.str());
  return true;
}

}  // namespace orv
