#include "logic/inline_forms.h"

#include <string>

#include "app/form.h"

namespace orv {

namespace {
// A token that names a variable is taken as its value; anything else converts as a number.
int32_t ValueOfToken(const VariableStore& vars, const std::string& token) {
  int index = vars.FindNumeric(token);
  return index >= 0 ? vars.numeric[size_t(index)].value : AtoiWrapping(token);
}
}  // namespace

void SetNumericVariable(TForm1& form, std::string_view name, int32_t value) {
  VariableStore& vars = form.vars;
  int index = vars.FindNumeric(name);
  if (index < 0) {
    index = vars.FirstFreeNumeric();
    if (index < 0) {
      form.ShowMessage(Sj("数値変数はこれ以上作れません（256個まで）：") + std::string(name));
      return;
    }
    vars.numeric[size_t(index)].name.Set(name);
    ++form.scene.numericCount;
  }
  vars.numeric[size_t(index)].value = value;
}

void SetStringVariable(TForm1& form, std::string_view name, std::string_view value) {
  VariableStore& vars = form.vars;
  int index = vars.FindString(name);
  if (index < 0) {
    index = vars.FirstFreeString();
    if (index < 0) {
      form.ShowMessage(Sj("文字列変数はこれ以上作れません（40個まで）：") + std::string(name));
      return;
    }
    vars.strings[size_t(index)].name.Set(name);
    ++form.scene.stringCount;
  }
  vars.strings[size_t(index)].value.Set(value);
}

int FindStringVariable(TForm1& form, std::string_view name) {
  int index = form.vars.FindString(name);
  if (index < 0) form.ShowMessage(Sj("連結先の文字列変数が設定されていません。"));
  return index;
}

bool InlineNumericAssignment(TForm1& form) {
  std::string name, value;
  form.reader.SetDelimiters(":,\n");
  if (form.reader.ReadToken(name) == '\n') return false;
  form.reader.SetDelimiters("!,\n");
  if (form.reader.ReadToken(value) == '\n') return false;
  SetNumericVariable(form, name, ValueOfToken(form.vars, value));
  return true;
}

void InlineStringAssignment(TForm1& form) {
  std::string name, skipped, text;
  form.reader.SetDelimiters(":,\n");
  if (form.reader.ReadToken(name) == '\n') {
    form.ShowMessage(Sj("変数の指定がありません。"));
    return;
  }
  form.reader.SetDelimiters("\",\n");
  form.reader.ReadToken(skipped);
  form.reader.ReadToken(text);
  SetStringVariable(form, name, text);
}

void ShowNumericVariableInline(TForm1& form) {
  std::string name;
  form.reader.SetDelimiters("',\n");
  if (form.reader.ReadToken(name) == '\n') {
    form.ShowMessage(Sj("変数の指定がありません。"));
    return;
  }
  int index = form.vars.FindNumeric(name);
  // A variable that does not exist has no value to show.
  if (index < 0) return;
  form.TypeAndRecord(std::to_string(form.vars.numeric[size_t(index)].value));
}

void ShowStringVariableInline(TForm1& form) {
  std::string name;
  form.reader.SetDelimiters("%,\n");
  if (form.reader.ReadToken(name) == '\n') {
    form.ShowMessage(Sj("変数の指定がありません。"));
    return;
  }
  int index = form.vars.FindString(name);
  if (index < 0) return;
  form.TypeAndRecord(form.vars.strings[size_t(index)].value.str());
}

int32_t ReadNumberArgument(TForm1& form, bool* fromVariable) {
  std::string token;
  form.reader.SetDelimiters(",,!");
  const bool isVariable = form.reader.ReadToken(token) == '!';
  if (fromVariable) *fromVariable = isVariable;
  if (isVariable) {
    form.reader.ReadToken(token);
    int index = form.vars.FindNumeric(token);
    if (index < 0) {
      form.ShowMessage(Sj("変数が指定されていません。"));
      return 0;
    }
    return form.vars.numeric[size_t(index)].value;
  }
  return AtoiWrapping(token);
}

}  // namespace orv
