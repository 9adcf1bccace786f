#include "logic/inline_forms.h"

#include <string>

#include "logic/command_context.h"
#include "platform/sjis.h"

namespace orv {

bool RunInlineForm(const CommandContext& ctx, char form) {
  switch (form) {
    case '!':
      if (InlineNumericAssignment(ctx)) return true;
      ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
      ctx.player.EndGame();
      return false;
    case '&': InlineStringAssignment(ctx); return true;
    case '%': ShowStringVariableInline(ctx); return true;
    case '\'': ShowNumericVariableInline(ctx); return true;
    default: return true;
  }
}

namespace {
// A token that names a variable is taken as its value; anything else converts as a number.
int32_t ValueOfToken(const VariableStore& vars, const std::string& token) {
  int index = vars.FindNumeric(token);
  return index >= 0 ? vars.numeric[size_t(index)].value : AtoiWrapping(token);
}
}  // namespace

void SetNumericVariable(const CommandContext& ctx, std::string_view name, int32_t value) {
  VariableStore& vars = ctx.vars;
  int index = vars.FindNumeric(name);
  if (index < 0) {
    index = vars.FirstFreeNumeric();
    if (index < 0) {
      ctx.dialogs.ShowMessage(Sj("数値変数はこれ以上作れません（256個まで）：") + std::string(name));
      return;
    }
    vars.numeric[size_t(index)].name.Set(name);
    ++ctx.scene.numericCount;
  }
  vars.numeric[size_t(index)].value = value;
}

void SetStringVariable(const CommandContext& ctx, std::string_view name, std::string_view value) {
  VariableStore& vars = ctx.vars;
  int index = vars.FindString(name);
  if (index < 0) {
    index = vars.FirstFreeString();
    if (index < 0) {
      ctx.dialogs.ShowMessage(Sj("文字列変数はこれ以上作れません（40個まで）：") + std::string(name));
      return;
    }
    vars.strings[size_t(index)].name.Set(name);
    ++ctx.scene.stringCount;
  }
  vars.strings[size_t(index)].value.Set(value);
}

int FindStringVariable(const CommandContext& ctx, std::string_view name) {
  int index = ctx.vars.FindString(name);
  if (index < 0) ctx.dialogs.ShowMessage(Sj("連結先の文字列変数が設定されていません。"));
  return index;
}

bool InlineNumericAssignment(const CommandContext& ctx) {
  std::string name, value;
  ctx.reader.SetDelimiters(":,\n");
  if (ctx.reader.ReadToken(name) == '\n') return false;
  ctx.reader.SetDelimiters("!,\n");
  if (ctx.reader.ReadToken(value) == '\n') return false;
  SetNumericVariable(ctx, name, ValueOfToken(ctx.vars, value));
  return true;
}

void InlineStringAssignment(const CommandContext& ctx) {
  std::string name, skipped, text;
  ctx.reader.SetDelimiters(":,\n");
  if (ctx.reader.ReadToken(name) == '\n') {
    ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
    return;
  }
  ctx.reader.SetDelimiters("\",\n");
  ctx.reader.ReadToken(skipped);
  ctx.reader.ReadToken(text);
  SetStringVariable(ctx, name, text);
}

void ShowNumericVariableInline(const CommandContext& ctx) {
  std::string name;
  ctx.reader.SetDelimiters("',\n");
  if (ctx.reader.ReadToken(name) == '\n') {
    ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
    return;
  }
  int index = ctx.vars.FindNumeric(name);
  // A variable that does not exist has no value to show.
  if (index < 0) return;
  ctx.story.TypeAndRecord(std::to_string(ctx.vars.numeric[size_t(index)].value));
}

void ShowStringVariableInline(const CommandContext& ctx) {
  std::string name;
  ctx.reader.SetDelimiters("%,\n");
  if (ctx.reader.ReadToken(name) == '\n') {
    ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
    return;
  }
  int index = ctx.vars.FindString(name);
  if (index < 0) return;
  ctx.story.TypeAndRecord(ctx.vars.strings[size_t(index)].value.str());
}

int32_t ReadNumberArgument(const CommandContext& ctx, bool* fromVariable) {
  std::string token;
  ctx.reader.SetDelimiters(",,!");
  const bool isVariable = ctx.reader.ReadToken(token) == '!';
  if (fromVariable) *fromVariable = isVariable;
  if (isVariable) {
    ctx.reader.ReadToken(token);
    int index = ctx.vars.FindNumeric(token);
    if (index < 0) {
      ctx.dialogs.ShowMessage(Sj("変数が指定されていません。"));
      return 0;
    }
    return ctx.vars.numeric[size_t(index)].value;
  }
  return AtoiWrapping(token);
}

}  // namespace orv
