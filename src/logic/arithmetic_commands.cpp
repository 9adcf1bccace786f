// MATH, RANDOM, SIN and COS: commands that compute an integer into an existing numeric
// variable. None of them creates a variable; a target that does not exist is refused.
#include <cmath>
#include <string>

#include "app/form.h"
#include "logic/expression_evaluator.h"
#include "logic/inline_forms.h"
#include "logic/random_numbers.h"
#include "script/command_handlers.h"

namespace orv {

namespace {

constexpr double kRadiansPerDegree = 0.0174532;  // as the kit writes it, not pi / 180

bool RefuseMissingTarget(TForm1& form) {
  form.ShowMessage(Sj("変数の指定がありません。"));
  return false;
}

// truncate(f(angle in degrees) * amplitude) into the target named after the two numbers.
bool Trigonometry(TForm1& form, double (*f)(double), bool showResult) {
  const int32_t angle = ReadNumberArgument(form);
  const int32_t amplitude = ReadNumberArgument(form);
  std::string name;
  form.reader.SetDelimiters(",");
  form.reader.ReadToken(name);
  const int index = form.vars.FindNumeric(name);
  if (index < 0) return RefuseMissingTarget(form);
  const double y = f(angle * kRadiansPerDegree) * amplitude;
  // |y| <= 2^31; the one value outside int32, 2^31 (INT_MIN times -1), wraps.
  const int32_t result = int32_t(uint32_t(uint64_t(int64_t(std::trunc(y)))));
  form.vars.numeric[size_t(index)].value = result;
  if (showResult) form.ShowMessage(std::to_string(result));
  return true;
}

}  // namespace

bool CmdMath(TForm1& form) {
  std::string name;
  form.reader.SetDelimiters("=,\n");
  const char d = form.reader.ReadToken(name);
  if (d == '\n') return RefuseMissingTarget(form);
  const int target = form.vars.FindNumeric(name);
  if (target < 0) return RefuseMissingTarget(form);

  const VariableStore& vars = form.vars;
  auto lookup = [&vars](std::string_view token) -> std::optional<int32_t> {
    const int index = vars.FindNumeric(token);
    if (index >= 0) return vars.numeric[size_t(index)].value;
    // An empty token reads the first free entry; with a full table there is none, and the
    // operand quietly counts as 0 rather than as a name the author never wrote.
    if (token.empty()) return 0;
    return std::nullopt;
  };
  const std::string built = BuildMathExpression(form.reader, d, lookup, [&form] {
    form.ShowMessage(Sj("変数が指定されていません。"));
  });
  form.vars.numeric[size_t(target)].value = ExpressionEvaluator(TidyMathExpression(built)).value;
  return true;
}

bool CmdRandom(TForm1& form) {
  std::string name, low, high;
  form.reader.SetDelimiters(",");
  if (form.reader.ReadToken(name) == '\n') return RefuseMissingTarget(form);
  const int target = form.vars.FindNumeric(name);
  if (target < 0) return RefuseMissingTarget(form);
  form.reader.ReadToken(low);
  form.reader.ReadToken(high);
  if (auto value = RandomBetween(AtoiWrapping(low), AtoiWrapping(high), form.randomState))
    form.vars.numeric[size_t(target)].value = *value;
  return true;
}

bool CmdSin(TForm1& form) { return Trigonometry(form, [](double x) { return std::sin(x); }, false); }

bool CmdCos(TForm1& form) { return Trigonometry(form, [](double x) { return std::cos(x); }, true); }

}  // namespace orv
