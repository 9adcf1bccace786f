// The variable tables at their limits: long names, full tables, the empty name, and the inline
// forms that create and show variables.
#include "logic/logic_play.h"

namespace orv::test {
namespace {

TEST(InlineForms, AssignCopyAndShowInTheFlowOfTheText) {
  Played p = Play({"!n:7!", "!n:9!", "!m:n!", "!x:nope!", "!k:-3!", "&s:\"a b,c\"", "\"[\"'k'\"|\"%s%\"]\"\\n"});
  ASSERT_EQ(p.state["numericVariables"].size(), 4u);
  EXPECT_EQ(p.state["numericVariables"][0]["name"], "n");
  EXPECT_EQ(p.Num("n"), 9);
  EXPECT_EQ(p.Num("m"), 9);
  EXPECT_EQ(p.Num("x"), 0);
  EXPECT_EQ(p.Str("s"), "ab");
  EXPECT_EQ(p.HistoryLine(0, 0), "[-3|ab]");
  EXPECT_EQ(p.Scene()["numericCount"], 4);
  EXPECT_EQ(p.Scene()["stringCount"], 1);
}

TEST(VariableNames, AreCutToNineteenBytesAndFoundByTheirLongForm) {
  const std::string nineteen = "abcdefghijklmnopqrs";
  Played p = Play({
      "!" + nineteen + ":1!",
      "!" + nineteen + "tuvwxyz:5!",  // the same variable once cut
      "!あいうえおかきくけこ:3!",     // 20 bytes: cut to nine characters, never half of one
      "&" + nineteen + "XYZ:\"long\"",
      "!r:0!",
      "~MATH r=" + nineteen + "tuv*2",
      "\"x\"\\n",
  });
  EXPECT_EQ(p.Num(nineteen), 5);
  EXPECT_EQ(p.Num("あいうえおかきくけ"), 3);
  EXPECT_EQ(p.Str(nineteen), "long");
  EXPECT_EQ(p.Num("r"), 10);
  EXPECT_EQ(p.Scene()["numericCount"], 3);
}

TEST(VariableTables, AFullTableRefusesANewVariableWithAMessage) {
  std::vector<std::string> lines;
  for (int i = 0; i < 257; ++i) lines.push_back("!v" + std::to_string(i) + ":" + std::to_string(i) + "!");
  for (int i = 0; i < 41; ++i) lines.push_back("&s" + std::to_string(i) + ":\"t\"");
  lines.insert(lines.end(), {
                                "!v3:33!",  // existing variables still change
                                "!:5!",     // no free entry for the empty name either
                                "~MATH v4=-5",  // the empty token of a full table counts as 0
                                "~IF v5<6",
                                "\"ok\"\\n",
                            });
  Played p = Play(lines);
  EXPECT_EQ(p.run.Messages(), (std::vector<std::string>{
                                  "数値変数はこれ以上作れません（256個まで）：v256",
                                  "文字列変数はこれ以上作れません（40個まで）：s40",
                                  "数値変数はこれ以上作れません（256個まで）：",
                              }));
  EXPECT_EQ(p.state["numericVariables"].size(), 256u);
  EXPECT_EQ(p.state["stringVariables"].size(), 40u);
  EXPECT_EQ(p.Scene()["numericCount"], 256);
  EXPECT_EQ(p.Scene()["stringCount"], 40);
  EXPECT_EQ(p.Num("v3"), 33);
  EXPECT_EQ(p.Num("v4"), -5);
  EXPECT_EQ(p.HistoryLine(0, 0), "ok");
}

TEST(VariableTables, TheEmptyNameWritesTheFirstFreeEntryUnnamed) {
  // The leading "-" is built as the empty token, which now reads 5.
  Played p = Play({"!a:1!", "!r:0!", "!:5!", "~MATH r=-a", "\"x\"\\n"});
  EXPECT_EQ(p.Num("r"), 4);
  EXPECT_EQ(p.state["numericVariables"][2]["value"], 5);
  EXPECT_EQ(p.Scene()["numericCount"], 2);
  // A new variable takes that entry over.
  Played taken = Play({"!a:1!", "!:5!", "!r:0!", "~MATH r=-a", "\"x\"\\n"});
  EXPECT_EQ(taken.Num("r"), -1);
  Played q = Play({"!a:1!", "!:5!", "~IF a<", "\"shown\"\\n", "\"x\"\\n"});
  EXPECT_EQ(q.HistoryLine(0, 0), "shown");
}

}  // namespace
}  // namespace orv::test
