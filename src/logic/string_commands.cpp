// The string commands: INPUTBOX, STRCAT, STRCMP, STRLEN, INTTOSTR and STRTOINT. None of them
// creates a variable. Values that grow past the 254 bytes a string variable holds are cut at
// a character boundary.
#include <optional>
#include <string>

#include "logic/command_context.h"
#include "platform/sjis.h"
#include "logic/inline_forms.h"
#include "logic/logic_commands.h"

namespace orv {

namespace {

constexpr int kConfirmFlagBytes = 8;

bool RefuseNoVariable(const CommandContext& ctx, bool result) {
  ctx.dialogs.ShowMessage(Sj("変数が指定されていません。"));
  return result;
}

std::string ReadToken(const CommandContext& ctx, char* delimiter = nullptr, int maxBytes = 256) {
  std::string token;
  const char d = ctx.reader.ReadToken(token, maxBytes);
  if (delimiter) *delimiter = d;
  return token;
}

// The text INPUTBOX offers until the player confirms an entry (or at once without confirm).
std::string AskUntilConfirmed(const CommandContext& ctx, const std::string& caption, const std::string& defaultText,
                              bool confirm) {
  for (;;) {
    // Cancelling keeps the default text; a rejected entry is not offered again.
    std::string text = ctx.dialogs.AskText(caption, Sj("全角128字(半角256字)まで"), defaultText).value_or(defaultText);
    if (!confirm || ctx.dialogs.AskYesNo(Sj("以上の入力でよろしいですか？　：　") + text, Sj("入力確認"))) return text;
  }
}

int32_t CountCharacters(std::string_view text) {
  int32_t count = 0;
  // A lead byte at the very end counts alone: the walk never steps past the value.
  for (size_t i = 0; i < text.size(); i += CharacterLength(text.substr(i))) ++count;
  return count;
}

}  // namespace

bool CmdInputbox(const CommandContext& ctx) {
  ctx.reader.SetDelimiters("\",\n");
  ReadToken(ctx);
  const std::string caption = ReadToken(ctx);
  ctx.reader.SetDelimiters(",,\n");
  ReadToken(ctx);
  ctx.reader.SetDelimiters("\",\n");
  ReadToken(ctx);
  const std::string defaultText = ReadToken(ctx);
  ctx.reader.SetDelimiters(",,\n");
  ReadToken(ctx);
  const std::string name = ReadToken(ctx);
  const int32_t confirm = AtoiWrapping(ReadToken(ctx, nullptr, kConfirmFlagBytes));

  const int index = FindStringVariable(ctx, name);
  if (confirm != 0 && confirm != 1) {
    ctx.dialogs.ShowMessage(Sj("フラグの設定ミスです"));
    return true;
  }
  // Without a variable to receive it, the player is not asked for a text.
  if (index < 0) return true;
  ctx.player.StopSkipping();
  ctx.vars.strings[size_t(index)].value.Set(AskUntilConfirmed(ctx, caption, defaultText, confirm == 1));
  return true;
}

bool CmdStrcat(const CommandContext& ctx) {
  char d = 0;
  ctx.reader.SetDelimiters(",,\n");
  const std::string name = ReadToken(ctx, &d);
  if (d == 0) return RefuseNoVariable(ctx, false);
  const int index = FindStringVariable(ctx, name);
  if (index < 0) return true;

  ctx.reader.SetDelimiters("\",&");
  ReadToken(ctx, &d);
  std::string source;
  if (d == '"') {
    source = ReadToken(ctx);
  } else if (d == '&') {
    const int from = ctx.vars.FindString(ReadToken(ctx));
    if (from < 0) {
      ctx.dialogs.ShowMessage(Sj("連結元の文字列変数が設定されていません。"));
      return true;
    }
    source = ctx.vars.strings[size_t(from)].value.str();
  } else {
    ctx.dialogs.ShowMessage(Sj("連結元の文字列変数が設定されていません。"));
    return true;
  }
  auto& value = ctx.vars.strings[size_t(index)].value;
  value.Set(value.str() + source);
  return true;
}

bool CmdStrcmp(const CommandContext& ctx) {
  char d = 0;
  ctx.reader.SetDelimiters(",,\n");
  const std::string name = ReadToken(ctx, &d);
  if (d == 0) return RefuseNoVariable(ctx, false);
  const int index = FindStringVariable(ctx, name);
  if (index < 0) return true;

  ctx.reader.SetDelimiters("\",&");
  ReadToken(ctx, &d);
  std::string other;
  bool closedQuote = false;
  if (d == '"') {
    other = ReadToken(ctx, &d);
    closedQuote = d == '"';
  } else if (d == '&') {
    const int from = FindStringVariable(ctx, ReadToken(ctx));
    if (from < 0) return true;
    other = ctx.vars.strings[size_t(from)].value.str();
  } else {
    return true;  // neither a text nor a variable: nothing to compare with
  }
  std::string resultName = ReadToken(ctx, &d);
  // The comma right after a closing quote only separates the result's name.
  if (closedQuote && d == ',' && resultName.empty()) resultName = ReadToken(ctx, &d);
  if (d == '\n') return RefuseNoVariable(ctx, false);
  const int result = ctx.vars.FindNumeric(resultName);
  if (result < 0) return RefuseNoVariable(ctx, true);
  ctx.vars.numeric[size_t(result)].value = ctx.vars.strings[size_t(index)].value.str() == other ? 1 : 0;
  return true;
}

bool CmdStrlen(const CommandContext& ctx) {
  char d = 0;
  ctx.reader.SetDelimiters(",,\n");
  const std::string name = ReadToken(ctx, &d);
  if (d == 0) return RefuseNoVariable(ctx, false);
  const int index = FindStringVariable(ctx, name);
  if (index < 0) return true;
  const int result = ctx.vars.FindNumeric(ReadToken(ctx));
  if (result < 0) return RefuseNoVariable(ctx, false);
  ctx.vars.numeric[size_t(result)].value = CountCharacters(ctx.vars.strings[size_t(index)].value.str());
  return true;
}

bool CmdInttostr(const CommandContext& ctx) {
  ctx.reader.SetDelimiters(",");
  const std::string numericName = ReadToken(ctx);
  const std::string stringName = ReadToken(ctx);
  const int number = ctx.vars.FindNumeric(numericName);
  if (number < 0) {
    ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
    return false;
  }
  const int text = FindStringVariable(ctx, stringName);
  if (text < 0) return true;
  ctx.vars.strings[size_t(text)].value.Set(std::to_string(ctx.vars.numeric[size_t(number)].value));
  return true;
}

bool CmdStrtoint(const CommandContext& ctx) {
  ctx.reader.SetDelimiters(",");
  const std::string numericName = ReadToken(ctx);
  const std::string stringName = ReadToken(ctx);
  const int number = ctx.vars.FindNumeric(numericName);
  if (number < 0) {
    ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
    return false;
  }
  const int text = FindStringVariable(ctx, stringName);
  if (text < 0) return true;
  ctx.vars.numeric[size_t(number)].value = AtoiWrapping(ctx.vars.strings[size_t(text)].value.str());
  return true;
}

}  // namespace orv
