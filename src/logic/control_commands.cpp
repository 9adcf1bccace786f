// Commands that steer the story and a few player-facing settings: IF, GOTO, EXIT, WAIT,
// NVMODE, SETSPEED, RUN, SETCURSOR and DEBUG.
#include <filesystem>
#include <string>

#include "app/form.h"
#include "logic/inline_forms.h"
#include "platform/web_address.h"
#include "script/command_handlers.h"

namespace orv {

namespace {

bool Holds(char op, int32_t left, int32_t right) {
  switch (op) {
    case '<': return left < right;
    case '>': return left > right;
    case '=': return left == right;
    default: return left != right;  // '!'
  }
}

// A line fetched by a command replaces the one the reader stands on: point the reader at it.
bool FetchLineForCommand(TForm1& form) {
  const bool fetched = form.FetchLine();
  form.reader.SetSource(fetched ? std::string_view(form.lineBuffer) : std::string_view());
  return fetched;
}

void JumpToLabel(TForm1& form, const std::string& label) {
  form.scene.readPosition = 0;
  form.scriptOffset = 0;
  // The search ends at the first line that is the label exactly, or at the end of the text,
  // where FetchLine reports the end and closes the window.
  while (FetchLineForCommand(form))
    if (form.lineBuffer == label) return;
}

void JumpToScenario(TForm1& form, std::string_view name) {
  // A name the scene record cannot hold whole would make every later save point name another
  // file; it is refused like a file that cannot be loaded.
  if (name.size() >= decltype(SceneState::scenarioName)::kCapacity) {
    form.ShowMessage(Sj("シナリオファイルの読みこみに失敗しました。"));
    return;
  }
  if (!form.SwitchScenario(name)) return;  // the loader said why; the story goes on here
  form.scene.scenarioName.Set(name);
  form.scene.readPosition = 0;
  form.scriptOffset = 0;
}

}  // namespace

bool CmdIf(TForm1& form) {
  std::string left, right;
  form.reader.SetDelimiters("<,>,=,!");
  const char op = form.reader.ReadToken(left);
  if (op != '<' && op != '>' && op != '=' && op != '!') {
    form.ShowMessage(Sj("条件式の演算ミスです"));
    return true;
  }
  const int leftIndex = form.vars.FindNumeric(left);
  if (leftIndex < 0) {
    form.ShowMessage(Sj("左辺の変数が認識できませんでした：") + left);
    return true;
  }
  form.reader.SetDelimiters("\n");
  form.reader.ReadToken(right);
  int32_t rightValue = 0;
  if (!right.empty() && right[0] >= '0' && right[0] <= '9') {
    rightValue = AtoiWrapping(right);
  } else {
    const int rightIndex = form.vars.FindNumeric(right);
    if (rightIndex < 0) {
      form.ShowMessage(Sj("右辺の変数が認識できませんでした：") + right);
      return true;
    }
    rightValue = form.vars.numeric[size_t(rightIndex)].value;
  }
  // A condition that fails skips exactly one line, whatever it holds.
  if (!Holds(op, form.vars.numeric[size_t(leftIndex)].value, rightValue)) FetchLineForCommand(form);
  return true;
}

bool CmdGoto(TForm1& form) {
  std::string target;
  form.reader.SetDelimiters("");
  form.reader.ReadToken(target);
  if (target.starts_with('*')) {
    JumpToLabel(form, target);
  } else if (target.starts_with('!')) {
    JumpToScenario(form, std::string_view(target).substr(1));
  }
  return true;
}

bool CmdExit(TForm1& form) {
  form.Close();
  return false;
}

bool CmdWait(TForm1& form) {
  form.scene.textWaitMs = ReadNumberArgument(form);
  return false;
}

bool CmdNvmode(TForm1& form) {
  form.ClearWaitIndicator();
  form.scene.nvMode = uint8_t(ReadNumberArgument(form));
  form.scene.nvPlace = uint8_t(ReadNumberArgument(form));
  form.scene.nvInterval = uint8_t(ReadNumberArgument(form));
  form.SetTimer2Enabled(form.scene.nvMode == 1);
  form.SetTimer2Interval(form.scene.nvInterval);
  return true;
}

bool CmdSetspeed(TForm1& form) {
  form.scene.messageSpeed = uint8_t(ReadNumberArgument(form));
  // The menu follows the level as stored, so the two never disagree (257 is level 1).
  const int level = form.scene.messageSpeed;
  if (level >= 1 && level <= 5) form.SpeedClick(level);
  return true;
}

// Only what the game itself ships, or a web address, is opened; anything else a script names
// (a system program, a path outside the game) is ignored, and no shell ever sees the name.
bool CmdRun(TForm1& form) {
  const std::string name = form.reader.ReadFileNameArgument();
  if (IsWebAddress(name)) {
    form.host().OpenExternally(name);
  } else if (auto path = form.folder().Find(name); path && std::filesystem::is_regular_file(*path)) {
    form.host().OpenExternally(path->string());
  }
  return true;
}

// An unreadable file keeps the current cursor, and the scene keeps naming the cursor that is
// really shown, so a saved game never restores a cursor that cannot load.
bool CmdSetcursor(TForm1& form) {
  const std::string name = form.reader.ReadFileNameArgument();
  auto path = form.folder().Find(name);
  if (!path || !std::filesystem::is_regular_file(*path) || !form.host().SetCursorFromFile(*path)) return true;
  form.scene.customCursor = 1;
  form.scene.cursorFile.Set(name);
  return true;
}

bool CmdDebug(TForm1& form) {
  std::string skipped, name;
  form.reader.SetDelimiters("&,!");
  const char kind = form.reader.ReadToken(skipped);
  form.reader.ReadToken(name);
  if (kind == '!') {
    const int index = form.vars.FindNumeric(name);
    if (index < 0) form.ShowMessage(Sj("変数が存在しません。"));
    else form.ShowMessage(name + ": " + std::to_string(form.vars.numeric[size_t(index)].value));
  } else if (kind == '&') {
    const int index = form.vars.FindString(name);
    if (index < 0) form.ShowMessage(Sj("変数が存在しません。"));
    else form.ShowMessage(name + ": " + form.vars.strings[size_t(index)].value.str());
  }
  return true;
}

}  // namespace orv
