// The string commands: INPUTBOX, STRCAT, STRCMP, STRLEN, INTTOSTR and STRTOINT. None of them
// creates a variable. Values that grow past the 254 bytes a string variable holds are cut at
// a character boundary.
#include <optional>
#include <string>

#include "app/form.h"
#include "logic/inline_forms.h"
#include "script/command_handlers.h"

namespace orv {

namespace {

constexpr int kConfirmFlagBytes = 8;

bool RefuseNoVariable(TForm1& form, bool result) {
  form.ShowMessage(Sj("変数が指定されていません。"));
  return result;
}

std::string ReadToken(TForm1& form, char* delimiter = nullptr, int maxBytes = 256) {
  std::string token;
  const char d = form.reader.ReadToken(token, maxBytes);
  if (delimiter) *delimiter = d;
  return token;
}

// The text INPUTBOX offers until the player confirms an entry (or at once without confirm).
std::string AskUntilConfirmed(TForm1& form, const std::string& caption, const std::string& defaultText,
                              bool confirm) {
  for (;;) {
    // Cancelling keeps the default text; a rejected entry is not offered again.
    std::string text = form.host().AskText(caption, Sj("全角128字(半角256字)まで"), defaultText).value_or(defaultText);
    if (!confirm || form.AskYesNo(Sj("以上の入力でよろしいですか？　：　") + text, Sj("入力確認"))) return text;
  }
}

int32_t CountCharacters(std::string_view text) {
  int32_t count = 0;
  // A lead byte at the very end counts alone: the walk never steps past the value.
  for (size_t i = 0; i < text.size(); i += CharacterLength(text.substr(i))) ++count;
  return count;
}

}  // namespace

bool CmdInputbox(TForm1& form) {
  form.reader.SetDelimiters("\",\n");
  ReadToken(form);
  const std::string caption = ReadToken(form);
  form.reader.SetDelimiters(",,\n");
  ReadToken(form);
  form.reader.SetDelimiters("\",\n");
  ReadToken(form);
  const std::string defaultText = ReadToken(form);
  form.reader.SetDelimiters(",,\n");
  ReadToken(form);
  const std::string name = ReadToken(form);
  const int32_t confirm = AtoiWrapping(ReadToken(form, nullptr, kConfirmFlagBytes));

  const int index = FindStringVariable(form, name);
  if (confirm != 0 && confirm != 1) {
    form.ShowMessage(Sj("フラグの設定ミスです"));
    return true;
  }
  // Without a variable to receive it, the player is not asked for a text.
  if (index < 0) return true;
  form.skipMode = false;
  form.vars.strings[size_t(index)].value.Set(AskUntilConfirmed(form, caption, defaultText, confirm == 1));
  return true;
}

bool CmdStrcat(TForm1& form) {
  char d = 0;
  form.reader.SetDelimiters(",,\n");
  const std::string name = ReadToken(form, &d);
  if (d == 0) return RefuseNoVariable(form, false);
  const int index = FindStringVariable(form, name);
  if (index < 0) return true;

  form.reader.SetDelimiters("\",&");
  ReadToken(form, &d);
  std::string source;
  if (d == '"') {
    source = ReadToken(form);
  } else if (d == '&') {
    const int from = form.vars.FindString(ReadToken(form));
    if (from < 0) {
      form.ShowMessage(Sj("連結元の文字列変数が設定されていません。"));
      return true;
    }
    source = form.vars.strings[size_t(from)].value.str();
  } else {
    form.ShowMessage(Sj("連結元の文字列変数が設定されていません。"));
    return true;
  }
  auto& value = form.vars.strings[size_t(index)].value;
  value.Set(value.str() + source);
  return true;
}

bool CmdStrcmp(TForm1& form) {
  char d = 0;
  form.reader.SetDelimiters(",,\n");
  const std::string name = ReadToken(form, &d);
  if (d == 0) return RefuseNoVariable(form, false);
  const int index = FindStringVariable(form, name);
  if (index < 0) return true;

  form.reader.SetDelimiters("\",&");
  ReadToken(form, &d);
  std::string other;
  bool closedQuote = false;
  if (d == '"') {
    other = ReadToken(form, &d);
    closedQuote = d == '"';
  } else if (d == '&') {
    const int from = FindStringVariable(form, ReadToken(form));
    if (from < 0) return true;
    other = form.vars.strings[size_t(from)].value.str();
  } else {
    return true;  // neither a text nor a variable: nothing to compare with
  }
  std::string resultName = ReadToken(form, &d);
  // The comma right after a closing quote only separates the result's name.
  if (closedQuote && d == ',' && resultName.empty()) resultName = ReadToken(form, &d);
  if (d == '\n') return RefuseNoVariable(form, false);
  const int result = form.vars.FindNumeric(resultName);
  if (result < 0) return RefuseNoVariable(form, true);
  form.vars.numeric[size_t(result)].value = form.vars.strings[size_t(index)].value.str() == other ? 1 : 0;
  return true;
}

bool CmdStrlen(TForm1& form) {
  char d = 0;
  form.reader.SetDelimiters(",,\n");
  const std::string name = ReadToken(form, &d);
  if (d == 0) return RefuseNoVariable(form, false);
  const int index = FindStringVariable(form, name);
  if (index < 0) return true;
  const int result = form.vars.FindNumeric(ReadToken(form));
  if (result < 0) return RefuseNoVariable(form, false);
  form.vars.numeric[size_t(result)].value = CountCharacters(form.vars.strings[size_t(index)].value.str());
  return true;
}

bool CmdInttostr(TForm1& form) {
  form.reader.SetDelimiters(",");
  const std::string numericName = ReadToken(form);
  const std::string stringName = ReadToken(form);
  const int number = form.vars.FindNumeric(numericName);
  if (number < 0) {
    form.ShowMessage(Sj("変数の指定がありません。"));
    return false;
  }
  const int text = FindStringVariable(form, stringName);
  if (text < 0) return true;
  form.vars.strings[size_t(text)].value.Set(std::to_string(form.vars.numeric[size_t(number)].value));
  return true;
}

bool CmdStrtoint(TForm1& form) {
  form.reader.SetDelimiters(",");
  const std::string numericName = ReadToken(form);
  const std::string stringName = ReadToken(form);
  const int number = form.vars.FindNumeric(numericName);
  if (number < 0) {
    form.ShowMessage(Sj("変数の指定がありません。"));
    return false;
  }
  const int text = FindStringVariable(form, stringName);
  if (text < 0) return true;
  form.vars.numeric[size_t(number)].value = AtoiWrapping(form.vars.strings[size_t(text)].value.str());
  return true;
}

}  // namespace orv
