// The expression evaluator, MATH's text building and tidying, and RANDOM's numbers, as pure
// functions.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <string>

#include "logic/expression_evaluator.h"
#include "logic/random_numbers.h"
#include "script/script_reader.h"

namespace orv {
namespace {

struct Case {
  const char* text;
  int32_t value;
  bool ok;
};

TEST(ExpressionEvaluator, ArithmeticPrecedenceAndErrorsKeepTheValueReached) {
  const Case cases[] = {
      {"2+3*4", 14, true},     {"(2+3)*4", 20, true},  {"7/2", 3, true},       {"-7/2", -3, true},
      {"5*-3", -15, true},     {"5--3", 8, true},      {"10-2-3", 5, true},    {"100/10/5", 2, true},
      // a division by zero keeps the dividend and nothing after it applies
      {"8/0+1", 8, false},     {"2+8/0*9", 10, false},
      // any character outside the grammar ends the expression
      {"2+3;9", 5, false},     {"1 +1", 1, false},     {"4,5", 4, false},
      // an operator whose right operand fails leaves its left operand
      {"5+)", 5, false},       {"5*(2", 5, false},     {"2+3*-(1)", 5, false},
      // no value at all: the evaluation's starting 0
      {"", 0, false},          {"(2+3", 0, false},     {")", 0, false},        {"-(3)", 0, false},
      {"(1)5", 1, false},
  };
  for (const Case& c : cases) {
    ExpressionResult result = ExpressionEvaluator(c.text);
    EXPECT_EQ(result.value, c.value) << c.text;
    EXPECT_EQ(result.ok, c.ok) << c.text;
  }
}

TEST(ExpressionEvaluator, ThirtyTwoBitArithmeticWrapsAndNeverTraps) {
  const Case cases[] = {
      {"2147483647+1", INT_MIN, true},
      {"-2147483648-1", INT_MAX, true},
      {"65536*65536", 0, true},
      {"4294967297", 1, true},  // digits accumulate modulo 2^32
      {"-2147483648/-1", INT_MIN, true},
      {"-2147483648*-1", INT_MIN, true},
      {"-2147483648/2", INT_MIN / 2, true},
  };
  for (const Case& c : cases) {
    ExpressionResult result = ExpressionEvaluator(c.text);
    EXPECT_EQ(result.value, c.value) << c.text;
    EXPECT_EQ(result.ok, c.ok) << c.text;
  }
}

TEST(ExpressionEvaluator, NestingIsBoundedAndUnbalancedParenthesesAreErrors) {
  auto nested = [](int depth) { return std::string(size_t(depth), '(') + "7" + std::string(size_t(depth), ')'); };
  EXPECT_EQ(ExpressionEvaluator(nested(kMaxExpressionDepth)).value, 7);
  EXPECT_TRUE(ExpressionEvaluator(nested(kMaxExpressionDepth)).ok);
  EXPECT_FALSE(ExpressionEvaluator(nested(kMaxExpressionDepth + 1)).ok);
  // Far beyond any stack: refused at the bound, not recursed into.
  ExpressionResult deep = ExpressionEvaluator(nested(1'000'000));
  EXPECT_FALSE(deep.ok);
  EXPECT_EQ(deep.value, 0);
  EXPECT_FALSE(ExpressionEvaluator(std::string(100'000, '(')).ok);
  ExpressionResult extraClose = ExpressionEvaluator("(1+2))))");
  EXPECT_EQ(extraClose.value, 3);
  EXPECT_FALSE(extraClose.ok);
  // The text ends at its first zero byte.
  EXPECT_TRUE(ExpressionEvaluator(std::string_view("1+2\0+4", 6)).ok);
  EXPECT_EQ(ExpressionEvaluator(std::string_view("1+2\0+4", 6)).value, 3);
}

// MATH's text as built from a line, with a = 5, b = 3, c = 2 and n = -3.
std::string Build(const std::string& line, int* unknownNames = nullptr) {
  const std::map<std::string, int32_t, std::less<>> vars = {{"a", 5}, {"b", 3}, {"c", 2}, {"n", -3}, {"", 0}};
  ScriptReader reader;
  reader.SetSource(line);
  reader.SetDelimiters("=,\n");
  std::string target;
  const char d = reader.ReadToken(target);
  return BuildMathExpression(
      reader, d,
      [&](std::string_view name) -> std::optional<int32_t> {
        auto it = vars.find(name);
        return it == vars.end() ? std::nullopt : std::optional<int32_t>(it->second);
      },
      [&] {
        if (unknownNames) ++*unknownNames;
      });
}

TEST(MathText, NamesBecomeValuesAndTheTidyCopyDropsTheZeroAfterEachClosingParenthesis) {
  EXPECT_EQ(Build("x=(a+b)*c"), "(5+3)0*2");
  EXPECT_EQ(TidyMathExpression("(5+3)0*2"), "(5+3)*2");
  EXPECT_EQ(Build("x=-5"), "0-5");
  EXPECT_EQ(Build("x=2(3+4)"), "(3+4)0");
  EXPECT_EQ(Build("x=a*n"), "5*-3");
  EXPECT_EQ(Build("x = a - n"), "5--3");
  EXPECT_EQ(Build("x=a+b;c"), "5+3;2");
  EXPECT_EQ(Build("x"), "");  // no "=": the line ended with the name
  EXPECT_EQ(ExpressionEvaluator(TidyMathExpression(Build("x=((a+b)*(c+1))/2"))).value, 12);
  // Only the first "0" after a ")" is the empty token's.
  EXPECT_EQ(TidyMathExpression("(1)00"), "(1)0");

  int unknown = 0;
  EXPECT_EQ(Build("x=a+nope*0", &unknown), "5+0*0");
  EXPECT_EQ(unknown, 2);  // nope, and the literal 0, which reads as a name
}

TEST(MathText, TheTidyCopyKeepsAtMost256Characters) {
  std::string built;
  for (int i = 0; i < 40; ++i) built += "1000000000+";
  const std::string tidy = TidyMathExpression(built);
  ASSERT_EQ(tidy.size(), kMaxExpressionChars);
  // 23 whole terms and the first three digits of the next.
  EXPECT_EQ(ExpressionEvaluator(tidy).value, int32_t(uint32_t(uint64_t(23) * 1000000000u + 100u)));
}

TEST(RandomNumbers, TheRuntimeGeneratorSequence) {
  uint32_t state = 1;
  EXPECT_EQ(NextRandom(state), 346);
  EXPECT_EQ(NextRandom(state), 130);
  EXPECT_EQ(NextRandom(state), 10982);
}

// Every value RandomBetween gives for the bounds over many draws; missing when it gives none.
std::set<int32_t> Values(int32_t low, int32_t high) {
  std::set<int32_t> seen;
  uint32_t state = 12345;
  for (int i = 0; i < 4000; ++i)
    if (auto v = RandomBetween(low, high, state)) seen.insert(*v);
  return seen;
}

TEST(RandomNumbers, BoundsRulesAndTheCasesThatWouldDivideByZero) {
  EXPECT_EQ(Values(1, 6), (std::set<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Values(-3, 3), (std::set<int32_t>{-2, -1, 0, 1, 2}));
  EXPECT_EQ(Values(0, 0), (std::set<int32_t>{0}));
  EXPECT_TRUE(Values(5, 0).empty());
  EXPECT_TRUE(Values(5, -2).empty());
  // low < 0 and high = 0: the high side has no value but 0.
  EXPECT_EQ(Values(-3, 0), (std::set<int32_t>{-2, -1, 0}));
  // high = low - 1: an empty range gives its low bound.
  EXPECT_EQ(Values(5, 4), (std::set<int32_t>{5}));
  // both negative: between the two, in either order
  EXPECT_EQ(Values(-6, -4), (std::set<int32_t>{-6, -5, -4}));
  EXPECT_EQ(Values(-4, -6), (std::set<int32_t>{-6, -5, -4}));
  EXPECT_EQ(Values(-1, -1), (std::set<int32_t>{-1}));
  // The extremes stay inside 32 bits.
  for (int32_t v : Values(INT_MIN, INT_MAX)) EXPECT_GT(v, -32768);
  for (int32_t v : Values(INT_MIN, -1)) EXPECT_LE(v, INT_MIN + 32767);
  for (int32_t v : Values(INT_MAX - 2, INT_MAX)) EXPECT_GE(v, INT_MAX - 2);
  for (int32_t v : Values(0, INT_MAX)) EXPECT_LE(v, 32767);

  // Bounds that need no draw leave the generator where it was.
  uint32_t state = 99;
  RandomBetween(0, 0, state);
  RandomBetween(7, -1, state);
  EXPECT_EQ(state, 99u);
}

}  // namespace
}  // namespace orv
