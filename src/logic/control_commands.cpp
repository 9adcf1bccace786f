// Commands that steer the story and a few player-facing settings: IF, GOTO, EXIT, WAIT,
// NVMODE, SETSPEED, RUN, SETCURSOR and DEBUG.
#include <filesystem>
#include <string>

#include "logic/command_context.h"
#include "logic/inline_forms.h"
#include "logic/logic_commands.h"
#include "platform/game_folder.h"
#include "platform/sjis.h"
#include "platform/web_address.h"

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

void JumpToScenario(const CommandContext& ctx, std::string_view name) {
  // A name the scene record cannot hold whole would make every later save point name another
  // file; it is refused like a file that cannot be loaded.
  if (name.size() >= decltype(SceneState::scenarioName)::kCapacity) {
    ctx.dialogs.ShowMessage(Sj("シナリオファイルの読みこみに失敗しました。"));
    return;
  }
  // On failure the loader said why, and the story goes on here.
  if (!ctx.story.SwitchScenario(name, ctx.scene.scenarioName.str())) return;
  ctx.scene.scenarioName.Set(name);
  ctx.scene.readPosition = 0;
  ctx.story.ReadFromTop();
}

}  // namespace

bool CmdIf(const CommandContext& ctx) {
  std::string left, right;
  ctx.reader.SetDelimiters("<,>,=,!");
  const char op = ctx.reader.ReadToken(left);
  if (op != '<' && op != '>' && op != '=' && op != '!') {
    ctx.dialogs.ShowMessage(Sj("条件式の演算ミスです"));
    return true;
  }
  const int leftIndex = ctx.vars.FindNumeric(left);
  if (leftIndex < 0) {
    ctx.dialogs.ShowMessage(Sj("左辺の変数が認識できませんでした：") + left);
    return true;
  }
  ctx.reader.SetDelimiters("\n");
  ctx.reader.ReadToken(right);
  int32_t rightValue = 0;
  if (!right.empty() && right[0] >= '0' && right[0] <= '9') {
    rightValue = AtoiWrapping(right);
  } else {
    const int rightIndex = ctx.vars.FindNumeric(right);
    if (rightIndex < 0) {
      ctx.dialogs.ShowMessage(Sj("右辺の変数が認識できませんでした：") + right);
      return true;
    }
    rightValue = ctx.vars.numeric[size_t(rightIndex)].value;
  }
  // A condition that fails skips exactly one line, whatever it holds.
  if (!Holds(op, ctx.vars.numeric[size_t(leftIndex)].value, rightValue)) ctx.story.FetchLineForCommand();
  return true;
}

bool CmdGoto(const CommandContext& ctx) {
  std::string target;
  ctx.reader.SetDelimiters("");
  ctx.reader.ReadToken(target);
  if (target.starts_with('*')) {
    ctx.scene.readPosition = 0;
    ctx.story.JumpToLabel(target);
  } else if (target.starts_with('!')) {
    JumpToScenario(ctx, std::string_view(target).substr(1));
  }
  return true;
}

bool CmdExit(const CommandContext& ctx) {
  ctx.player.EndGame();
  return false;
}

bool CmdWait(const CommandContext& ctx) {
  ctx.scene.textWaitMs = ReadNumberArgument(ctx);
  return false;
}

bool CmdNvmode(const CommandContext& ctx) {
  ctx.player.ClearWaitIndicator();
  ctx.scene.nvMode = uint8_t(ReadNumberArgument(ctx));
  ctx.scene.nvPlace = uint8_t(ReadNumberArgument(ctx));
  ctx.scene.nvInterval = uint8_t(ReadNumberArgument(ctx));
  ctx.player.SetWaitIndicatorTimer(ctx.scene.nvMode == 1);
  ctx.player.SetWaitIndicatorInterval(ctx.scene.nvInterval);
  return true;
}

bool CmdSetspeed(const CommandContext& ctx) {
  ctx.scene.messageSpeed = uint8_t(ReadNumberArgument(ctx));
  // The menu follows the level as stored, so the two never disagree (257 is level 1).
  const int level = ctx.scene.messageSpeed;
  if (level >= 1 && level <= 5) ctx.player.SetMessageSpeed(level);
  return true;
}

// Only what the game itself ships, or a web address, is opened; anything else a script names
// (a system program, a path outside the game) is ignored, and no shell ever sees the name.
bool CmdRun(const CommandContext& ctx) {
  const std::string name = ctx.reader.ReadFileNameArgument();
  if (IsWebAddress(name)) {
    ctx.player.OpenExternally(name);
  } else if (auto path = ctx.folder.FindFile(name)) {
    ctx.player.OpenExternally(path->string());
  }
  return true;
}

// An unreadable file keeps the current cursor, and the scene keeps naming the cursor that is
// really shown, so a saved game never restores a cursor that cannot load.
bool CmdSetcursor(const CommandContext& ctx) {
  const std::string name = ctx.reader.ReadFileNameArgument();
  auto path = ctx.folder.FindFile(name);
  if (!path || !ctx.player.SetCursorFromFile(*path)) return true;
  ctx.scene.customCursor = 1;
  ctx.scene.cursorFile.Set(name);
  return true;
}

bool CmdDebug(const CommandContext& ctx) {
  std::string skipped, name;
  ctx.reader.SetDelimiters("&,!");
  const char kind = ctx.reader.ReadToken(skipped);
  ctx.reader.ReadToken(name);
  if (kind == '!') {
    const int index = ctx.vars.FindNumeric(name);
    if (index < 0) ctx.dialogs.ShowMessage(Sj("変数が存在しません。"));
    else ctx.dialogs.ShowMessage(name + ": " + std::to_string(ctx.vars.numeric[size_t(index)].value));
  } else if (kind == '&') {
    const int index = ctx.vars.FindString(name);
    if (index < 0) ctx.dialogs.ShowMessage(Sj("変数が存在しません。"));
    else ctx.dialogs.ShowMessage(name + ": " + ctx.vars.strings[size_t(index)].value.str());
  }
  return true;
}

}  // namespace orv
