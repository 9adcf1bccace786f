#pragma once
// The four forms by which message text assigns and shows variables, and the reader of
// numeric command arguments (a decimal literal, or "!" and a numeric variable's name).
#include <cstdint>
#include <string_view>

namespace orv {

struct CommandContext;

// The inline form `form` ('!', '&', '%' or '\''; any other byte does nothing). False when the
// game cannot go on: a '!' form without its name or value, which is reported and closes it.
bool RunInlineForm(const CommandContext& ctx, char form);

// !name:value!  False when a line feed came before the name or the value.
bool InlineNumericAssignment(const CommandContext& ctx);
// &name:"text"
void InlineStringAssignment(const CommandContext& ctx);
// 'name'
void ShowNumericVariableInline(const CommandContext& ctx);
// %name%
void ShowStringVariableInline(const CommandContext& ctx);

// `fromVariable`, when given, tells whether the value came from "!" and a variable.
int32_t ReadNumberArgument(const CommandContext& ctx, bool* fromVariable = nullptr);

// Creates or updates variables, refusing with a message when the table is full.
void SetNumericVariable(const CommandContext& ctx, std::string_view name, int32_t value);
void SetStringVariable(const CommandContext& ctx, std::string_view name, std::string_view value);
// FindStringVariable with its message when the name is missing.
int FindStringVariable(const CommandContext& ctx, std::string_view name);

}  // namespace orv
