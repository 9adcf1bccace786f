#pragma once
// Integer expressions of the MATH command: + - * / and parentheses over decimal literals,
// with a unary minus directly before a number. All arithmetic is signed 32-bit and wraps;
// division truncates toward zero. These are pure functions of their text.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

class ScriptReader;

// Parentheses nested deeper than this make the expression an error instead of recursing on.
inline constexpr int kMaxExpressionDepth = 256;
// MATH hands the evaluator at most this many characters of its built text.
inline constexpr size_t kMaxExpressionChars = 256;

struct ExpressionResult {
  int32_t value = 0;  // the value reached, also when the text was not consumed without error
  bool ok = false;    // the whole text was a well-formed expression
};

// Evaluates `text` up to its end or its first zero byte. Any character outside the grammar
// (a blank, a letter, ";", a line feed) ends the expression as an error and keeps the value
// reached so far; a division by zero keeps the dividend and ends it too. INT_MIN / -1 wraps
// to INT_MIN.
ExpressionResult ExpressionEvaluator(std::string_view text);

// How MATH turns a token of its line into a number: the variable's value, or nothing when no
// variable has that name.
using VariableLookup = std::function<std::optional<int32_t>(std::string_view name)>;

// Builds MATH's expression text from the rest of the line the reader stands on (after the
// target name): literals stay, names become their values in decimal, the delimiter after each
// token is kept. A token before "(" is dropped. `lastDelimiter` is the byte that ended the
// target's read; 0 (the line ended there) builds nothing. `onUnknownName` is called for a
// name that is not a variable; that operand counts as 0.
std::string BuildMathExpression(ScriptReader& reader, char lastDelimiter, const VariableLookup& lookup,
                                const std::function<void()>& onUnknownName);

// The copy MATH evaluates: at most kMaxExpressionChars characters, without the "0" that the
// empty token after each ")" contributed.
std::string TidyMathExpression(std::string_view built);

}  // namespace orv
