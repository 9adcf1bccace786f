// MATH, RANDOM, SIN and COS: commands that compute an integer into an existing numeric
// variable. None of them creates a variable; a target that does not exist is refused.
#include <cmath>
#include <string>

#include "logic/command_context.h"
#include "platform/sjis.h"
#include "logic/expression_evaluator.h"
#include "logic/inline_forms.h"
#include "logic/random_numbers.h"
#include "logic/logic_commands.h"

namespace orv {

namespace {

constexpr double kRadiansPerDegree = 0.0174532;  // as the kit writes it, not pi / 180

bool RefuseMissingTarget(const CommandContext& ctx) {
  ctx.dialogs.ShowMessage(Sj("変数の指定がありません。"));
  return false;
}

// truncate(f(angle in degrees) * amplitude) into the target named after the two numbers.
bool Trigonometry(const CommandContext& ctx, double (*f)(double), bool showResult) {
  const int32_t angle = ReadNumberArgument(ctx);
  const int32_t amplitude = ReadNumberArgument(ctx);
  std::string name;
  ctx.reader.SetDelimiters(",");
  ctx.reader.ReadToken(name);
  const int index = ctx.vars.FindNumeric(name);
  if (index < 0) return RefuseMissingTarget(ctx);
  const double y = f(angle * kRadiansPerDegree) * amplitude;
  // |y| <= 2^31; the one value outside int32, 2^31 (INT_MIN times -1), wraps.
  const int32_t result = int32_t(uint32_t(uint64_t(int64_t(std::trunc(y)))));
  ctx.vars.numeric[size_t(index)].value = result;
  if (showResult) ctx.dialogs.ShowMessage(std::to_string(result));
  return true;
}

}  // namespace

bool CmdMath(const CommandContext& ctx) {
  std::string name;
  ctx.reader.SetDelimiters("=,\n");
  const char d = ctx.reader.ReadToken(name);
  if (d == '\n') return RefuseMissingTarget(ctx);
  const int target = ctx.vars.FindNumeric(name);
  if (target < 0) return RefuseMissingTarget(ctx);

  const VariableStore& vars = ctx.vars;
  auto lookup = [&vars](std::string_view token) -> std::optional<int32_t> {
    const int index = vars.FindNumeric(token);
    if (index >= 0) return vars.numeric[size_t(index)].value;
    // An empty token reads the first free entry; with a full table there is none, and the
    // operand quietly counts as 0 rather than as a name the author never wrote.
    if (token.empty()) return 0;
    return std::nullopt;
  };
  const std::string built = BuildMathExpression(ctx.reader, d, lookup, [&ctx] {
    ctx.dialogs.ShowMessage(Sj("変数が指定されていません。"));
  });
  ctx.vars.numeric[size_t(target)].value = ExpressionEvaluator(TidyMathExpression(built)).value;
  return true;
}

bool CmdRandom(const CommandContext& ctx) {
  std::string name, low, high;
  ctx.reader.SetDelimiters(",");
  if (ctx.reader.ReadToken(name) == '\n') return RefuseMissingTarget(ctx);
  const int target = ctx.vars.FindNumeric(name);
  if (target < 0) return RefuseMissingTarget(ctx);
  ctx.reader.ReadToken(low);
  ctx.reader.ReadToken(high);
  if (auto value = RandomBetween(AtoiWrapping(low), AtoiWrapping(high), ctx.randomState))
    ctx.vars.numeric[size_t(target)].value = *value;
  return true;
}

bool CmdSin(const CommandContext& ctx) { return Trigonometry(ctx, [](double x) { return std::sin(x); }, false); }

bool CmdCos(const CommandContext& ctx) { return Trigonometry(ctx, [](double x) { return std::cos(x); }, true); }

}  // namespace orv
