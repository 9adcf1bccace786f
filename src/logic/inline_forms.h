#pragma once
// The four forms by which message text assigns and shows variables, and the reader of
// numeric command arguments (a decimal literal, or "!" and a numeric variable's name).
#include <cstdint>
#include <string_view>

namespace orv {

class TForm1;

// !name:value!  False when a line feed came before the name or the value.
bool InlineNumericAssignment(TForm1& form);
// &name:"text"
void InlineStringAssignment(TForm1& form);
// 'name'
void ShowNumericVariableInline(TForm1& form);
// %name%
void ShowStringVariableInline(TForm1& form);

// `fromVariable`, when given, tells whether the value came from "!" and a variable.
int32_t ReadNumberArgument(TForm1& form, bool* fromVariable = nullptr);

// Creates or updates variables, refusing with a message when the table is full.
void SetNumericVariable(TForm1& form, std::string_view name, int32_t value);
void SetStringVariable(TForm1& form, std::string_view name, std::string_view value);
// FindStringVariable with its message when the name is missing.
int FindStringVariable(TForm1& form, std::string_view name);

}  // namespace orv
