// MATH, RANDOM, SIN and COS as scripts use them.
#include <climits>

#include "logic/logic_play.h"

namespace orv::test {
namespace {

std::vector<std::string> WithTargets(int count, std::vector<std::string> lines) {
  std::vector<std::string> scenario = {"!a:5!", "!b:-3!", "!c:2!", "!z:0!", "!one:1!", "!minus:-1!"};
  for (int i = 1; i <= count; ++i) scenario.push_back("!t" + std::to_string(i) + ":1!");
  scenario.insert(scenario.end(), lines.begin(), lines.end());
  scenario.push_back("\"end\"\\n");
  return scenario;
}

TEST(MathCommand, EvaluatesExpressionsOverVariables) {
  Played p = Play(WithTargets(11, {
                                      "~MATH t1=2+3*4",
                                      "~MATH t2=(2+3)*4",
                                      "~MATH t3=7/2",
                                      "~MATH t4=-7/2",
                                      "~MATH t5=a*b",
                                      "~MATH t6=a-b",
                                      "~MATH t7=8/z+1",
                                      "~MATH t8=a+b;9",
                                      "~MATH t9=2(3+4)",
                                      "~MATH t10 = ( a + b ) * c",
                                      "~MATH t11=t11+1",
                                  }));
  ASSERT_TRUE(p.run.Messages().empty()) << p.run.out;
  const int64_t expected[] = {14, 20, 3, -3, -15, 8, 8, 2, 7, 4, 2};
  for (int i = 1; i <= 11; ++i) EXPECT_EQ(p.Num("t" + std::to_string(i)), expected[i - 1]) << i;
}

TEST(MathCommand, UnknownNamesTargetsAndEdgeValues) {
  Played p = Play(WithTargets(6, {
                                     "~MATH t1=a+nope",   // message; the name counts as 0
                                     "~MATH t2=0",        // the literal 0 reads as a name
                                     "~MATH nothere=1",   // no such target: refused
                                     "!big:-2147483648!",
                                     "~MATH t3=big/minus",  // INT_MIN / -1 wraps
                                     "~MATH t4=big-one",
                                     "~MATH t5",          // no "=": nothing built
                                     "~MATH t6=(((((a",   // unbalanced
                                 }));
  EXPECT_EQ(p.run.Messages(), (std::vector<std::string>{"変数が指定されていません。", "変数が指定されていません。",
                                                        "変数の指定がありません。"}));
  EXPECT_EQ(p.Num("t1"), 5);
  EXPECT_EQ(p.Num("t2"), 0);
  EXPECT_FALSE(p.HasNum("nothere"));
  EXPECT_EQ(p.Num("t3"), INT_MIN);
  EXPECT_EQ(p.Num("t4"), INT_MAX);
  EXPECT_EQ(p.Num("t5"), 0);
  EXPECT_EQ(p.Num("t6"), 0);
}

TEST(MathCommand, ExpressionsLongerThanTheEvaluatorTakesAreCut) {
  // 24 terms of ten characters each build 263 characters; the evaluator sees 256 of them.
  std::string line = "~MATH t1=g";
  for (int i = 1; i < 24; ++i) line += "+g";
  // Parentheses nested as deep as a line allows.
  std::string deep = "~MATH t2=" + std::string(240, '(') + "a";
  Played p = Play(WithTargets(2, {"!g:1000000000!", line, deep}));
  EXPECT_EQ(p.Num("t1"), int32_t(uint32_t(uint64_t(23) * 1000000000u + 100u)));
  EXPECT_EQ(p.Num("t2"), 0);
}

TEST(RandomCommand, BoundsAndTheCasesThatWouldDivideByZero) {
  std::vector<std::string> lines = {"!r:77!", "~RANDOM r,5,0", "!keep:r!", "~RANDOM r,0,0", "!zero:r!"};
  for (int i = 0; i < 30; ++i) {
    const std::string n = std::to_string(i);
    lines.insert(lines.end(), {"!d" + n + ":0!", "~RANDOM d" + n + ",1,6",        //
                               "!s" + n + ":0!", "~RANDOM s" + n + ",-3,3",       //
                               "!h" + n + ":9!", "~RANDOM h" + n + ",-3,0",       //
                               "!e" + n + ":9!", "~RANDOM e" + n + ",5,4",        //
                               "!n" + n + ":9!", "~RANDOM n" + n + ",-10,-5"});
  }
  lines.push_back("~RANDOM nothere,1,6");
  lines.push_back("\"end\"\\n");
  Played p = Play(lines);
  EXPECT_EQ(p.run.Messages(), std::vector<std::string>{"変数の指定がありません。"});
  EXPECT_EQ(p.Num("keep"), 77);
  EXPECT_EQ(p.Num("zero"), 0);
  for (int i = 0; i < 30; ++i) {
    const std::string n = std::to_string(i);
    EXPECT_GE(p.Num("d" + n), 1);
    EXPECT_LE(p.Num("d" + n), 6);
    EXPECT_GE(p.Num("s" + n), -2);
    EXPECT_LE(p.Num("s" + n), 2);
    EXPECT_GE(p.Num("h" + n), -2);
    EXPECT_LE(p.Num("h" + n), 0);
    EXPECT_EQ(p.Num("e" + n), 5);
    EXPECT_GE(p.Num("n" + n), -10);
    EXPECT_LE(p.Num("n" + n), -5);
  }
}

TEST(SinCosCommands, ScaleTheKitsDegreesAndCosShowsItsResult) {
  Played p = Play(WithTargets(6, {
                                     "~SIN 90,100,t1",
                                     "~COS 0,100,t2",
                                     "~SIN 30,-10,t3",
                                     "~COS 60,100,t4",
                                     "!big:-2147483648!",
                                     "~COS 180,!big,t5",
                                     "~SIN !a,1000,t6",
                                     "~SIN 90,100,nothere",
                                 }));
  EXPECT_EQ(p.run.Messages(), (std::vector<std::string>{"100", "50", "2147483647", "変数の指定がありません。"}));
  EXPECT_EQ(p.Num("t1"), 99);
  EXPECT_EQ(p.Num("t2"), 100);
  EXPECT_EQ(p.Num("t3"), -4);
  EXPECT_EQ(p.Num("t4"), 50);
  EXPECT_EQ(p.Num("t5"), INT_MAX);
  EXPECT_EQ(p.Num("t6"), 87);
}

}  // namespace

namespace {

std::string DrawnNumbers(const std::vector<std::string>& args) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"!r:0!", "~RANDOM r,1,1000000", "'r'", "~RANDOM r,1,1000000", "'r'\\n"}});
  RunHeadlessGame(dir.path(), {"dump d.json"}, 0, args);
  return ReadDump(dir, "d.json")["history"][0]["lines"][0].get<std::string>();
}

// RANDOM starts from the local time, so a run with a fixed date (or a fixed seed) draws the
// same numbers every time.
TEST(Random, SeededFromTheLocalTimeOrTheGivenSeed) {
  const std::vector<std::string> date = {"--date", "2020-02-29 23:59:58"};
  const std::string first = DrawnNumbers(date);
  EXPECT_EQ(DrawnNumbers(date), first);
  EXPECT_EQ(DrawnNumbers(date), first);
  EXPECT_NE(DrawnNumbers({"--date", "2020-03-01 00:00:00"}), first);
  EXPECT_EQ(DrawnNumbers({"--seed", "7"}), DrawnNumbers({"--seed", "7"}));
  EXPECT_NE(DrawnNumbers({"--seed", "7"}), DrawnNumbers({"--seed", "8"}));
}

}  // namespace
}  // namespace orv::test
