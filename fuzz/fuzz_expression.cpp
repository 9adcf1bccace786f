// MATH over arbitrary line text: the built expression, its tidy copy and the evaluator on
// both, and the raw bytes straight into the evaluator. Nothing may trap, overflow the stack
// or read past the text; the tidy copy stays within its bound.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "logic/expression_evaluator.h"
#include "script/script_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  orv::ExpressionEvaluator(line);

  orv::ScriptReader reader;
  reader.SetSource(line);
  reader.SetDelimiters("=,\n");
  std::string target;
  const char d = reader.ReadToken(target);
  auto lookup = [](std::string_view name) -> std::optional<int32_t> {
    if (name.empty()) return 0;
    if (name == "a") return INT32_MIN;
    if (name == "b") return -1;
    return std::nullopt;
  };
  const std::string tidy = orv::TidyMathExpression(orv::BuildMathExpression(reader, d, lookup, {}));
  if (tidy.size() > orv::kMaxExpressionChars) std::abort();
  const orv::ExpressionResult first = orv::ExpressionEvaluator(tidy);
  const orv::ExpressionResult again = orv::ExpressionEvaluator(tidy);
  if (first.value != again.value || first.ok != again.ok) std::abort();
  return 0;
}
