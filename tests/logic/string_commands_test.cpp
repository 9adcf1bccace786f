// STRLEN, STRCMP, STRCAT, INTTOSTR, STRTOINT and INPUTBOX in scenarios.
#include "logic/logic_play.h"

namespace orv::test {
namespace {

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(StringCommands, LengthComparisonConcatenationAndConversion) {
  Played p = Play({
      "&s:\"太郎\"", "&e:\"\"", "&m:\"ab太\"", "&k1:\"ｱｲ\"", "&lone:\"aｱ\"", "&t:\"abc\"", "&t2:\"abc\"", "&u:\"ab\"", "&v:\"ab\"",
      "&num:\"12abc\"", "&x:\"x\"", "&out:\"\"",
      "!n1:0!", "!n2:0!", "!n3:0!", "!n4:0!", "!n5:0!", "!r1:9!", "!r2:9!", "!r3:9!", "!k:-42!", "!k2:0!", "!k3:5!",
      "~STRLEN s,n1", "~STRLEN e,n2", "~STRLEN m,n3", "~STRLEN k1,n4", "~STRLEN lone,n5",
      "~STRCMP t,\"abc\",r1", "~STRCMP t,\"abd\",r2", "~STRCMP t,&t2,r3",
      "~STRCAT u,\"cd\"", "~STRCAT v,&v",
      "~INTTOSTR k,out", "~STRTOINT k2,num", "~STRTOINT k3,x",
      "\"end\"\\n",
  });
  EXPECT_TRUE(p.run.Messages().empty()) << p.run.out;
  EXPECT_EQ(p.Num("n1"), 2);
  EXPECT_EQ(p.Num("n2"), 0);
  EXPECT_EQ(p.Num("n3"), 3);
  EXPECT_EQ(p.Num("n4"), 1);  // a half-width katakana byte takes the byte after it along
  EXPECT_EQ(p.Num("n5"), 2);  // ... but one at the very end counts alone
  EXPECT_EQ(p.Num("r1"), 1);
  EXPECT_EQ(p.Num("r2"), 0);
  EXPECT_EQ(p.Num("r3"), 1);
  EXPECT_EQ(p.Str("u"), "abcd");
  EXPECT_EQ(p.Str("v"), "abab");
  EXPECT_EQ(p.Str("out"), "-42");
  EXPECT_EQ(p.Num("k2"), 12);
  EXPECT_EQ(p.Num("k3"), 0);
}

TEST(StringCommands, MissingNamesAreReportedAndChangeNothing) {
  Played p = Play({
      "&s:\"ab\"", "!r:9!",
      "~STRCAT nope,\"x\"",   // destination missing
      "~STRCAT s,&nope",      // source missing
      "~STRCAT s,5",          // neither a text nor a variable
      "~STRCAT s",            // no comma
      "~STRCMP s,\"ab\",nope",  // result missing
      "~STRCMP s,5,r",        // nothing to compare with: nothing happens
      "~STRLEN s,nope",
      "~INTTOSTR nope,s",
      "~STRTOINT r,nope",
      "\"end\"\\n",
  });
  EXPECT_EQ(p.run.Messages(), (std::vector<std::string>{
                                  "連結先の文字列変数が設定されていません。",
                                  "連結元の文字列変数が設定されていません。",
                                  "連結元の文字列変数が設定されていません。",
                                  "変数が指定されていません。",
                                  "変数が指定されていません。",
                                  "変数が指定されていません。",
                                  "変数の指定がありません。",
                                  "連結先の文字列変数が設定されていません。",
                              }));
  EXPECT_EQ(p.Str("s"), "ab");
  EXPECT_EQ(p.Num("r"), 9);
}

TEST(StringCommands, ValuesNeverGrowPast254BytesNorSplitACharacter) {
  Played p = Play({
      "&w:\"" + Repeat("あ", 100) + "\"",
      "~STRCAT w,&w",
      "&odd:\"a" + Repeat("あ", 100) + "b\"",
      "~STRCAT odd,&odd",
      "!n:0!",
      "~STRLEN odd,n",
      "\"end\"\\n",
  });
  EXPECT_EQ(p.Str("w"), Repeat("あ", 127));
  // 203 bytes of the first copy, then whole characters only: 253 bytes.
  EXPECT_EQ(p.Str("odd"), "a" + Repeat("あ", 100) + "ba" + Repeat("あ", 25));
  EXPECT_EQ(p.Num("n"), 128);
}

const std::string kInputLine = "~INPUTBOX \"名前\",\"太郎\",name,1";

TEST(InputboxCommand, ConfirmAsksAgainWithTheDefaultUntilYes) {
  Played p = Play({"&name:\"\"", kInputLine, "\"x\"\\n"},
                  {"input 花子", "answer no", "input 次郎", "answer yes"});
  EXPECT_EQ(p.Str("name"), "次郎");
  const std::vector<std::string> expected = {
      "input: 名前 -> 花子",
      "question: 以上の入力でよろしいですか？　：　花子 -> no",
      "input: 名前 -> 次郎",
      "question: 以上の入力でよろしいですか？　：　次郎 -> yes",
  };
  std::vector<std::string> dialogs;
  for (const auto& line : p.run.Lines())
    if (line.rfind("input: ", 0) == 0 || line.rfind("question: ", 0) == 0) dialogs.push_back(line);
  EXPECT_EQ(dialogs, expected);
}

TEST(InputboxCommand, CancelFlagsLongTextsAndMissingVariables) {
  Played cancelled = Play({"&name:\"\"", "~INPUTBOX \"名前\",\"太郎\",name,0", "\"x\"\\n"}, {"input-cancel"});
  EXPECT_EQ(cancelled.Str("name"), "太郎");

  Played badFlag = Play({"&name:\"old\"", "~INPUTBOX \"名前\",\"太郎\",name,2", "\"x\"\\n"}, {"input 花子"});
  EXPECT_EQ(badFlag.run.Messages(), std::vector<std::string>{"フラグの設定ミスです"});
  EXPECT_EQ(badFlag.Str("name"), "old");

  Played longText = Play({"&name:\"\"", "~INPUTBOX \"名前\",\"\",name,0", "\"x\"\\n"}, {"input " + Repeat("漢", 200)});
  EXPECT_EQ(longText.Str("name"), Repeat("漢", 127));

  Played missing = Play({"~INPUTBOX \"名前\",\"太郎\",nobody,0", "\"x\"\\n"}, {"input 花子"});
  EXPECT_EQ(missing.run.Messages(), std::vector<std::string>{"連結先の文字列変数が設定されていません。"});
  EXPECT_EQ(missing.run.out.find("input: "), std::string::npos);
}

TEST(InputboxCommand, EndsSkipMode) {
  Played p = Play({"\"a\"\\n", "&name:\"\"", "~INPUTBOX \"名前\",\"太郎\",name,0", "\"x\"\\n"},
                  {"menu SKIP", "wait 30", "input 花子"});
  EXPECT_EQ(p.Str("name"), "花子");
  EXPECT_EQ(p.state["skipMode"], false);
}

}  // namespace
}  // namespace orv::test
