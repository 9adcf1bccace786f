// Spoken text played headless: the speech log is what a listening player hears, and when.
#include <gtest/gtest.h>

#include <sstream>

#include "app/command_line.h"
#include "app/narrator.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

// Plays a story with speech written down into said.txt ("LOG" in `args` stands for it).
struct Listened {
  TempDir dir;
  HeadlessResult run;
  std::vector<std::string> said;  // "MS text"
  nlohmann::json state;

  Listened(const std::vector<std::string>& story, std::vector<std::string> events,
           std::vector<std::string> args = {"--speech-log", "LOG"}) {
    WriteGame(dir, GameSpec{.scenario = story});
    events.push_back("dump state.json");
    for (auto& arg : args) arg = arg == "LOG" ? (dir.path() / "said.txt").string() : arg;
    run = RunHeadlessGame(dir.path(), events, 0, args);
    state = ReadDump(dir, "state.json");
    std::istringstream log(dir.Read("said.txt"));
    for (std::string line; std::getline(log, line);) said.push_back(line);
  }
  bool SpeakChecked() const { return state["menu"]["Speak"]["checked"].get<bool>(); }
  // What was said, without the times.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const std::string& line : said) texts.push_back(line.substr(line.find(' ') + 1));
    return texts;
  }
};

using Lines = std::vector<std::string>;

// The message box over the lower stage, so that the choices' captions stand at known places:
// entry 0 at (20, 326).
Lines Styled(Lines story) {
  Lines lines = {"~BOXSIZE 0,300,640,480", "~TXTPOS 20,310", "~FONTSIZE 16"};
  lines.insert(lines.end(), story.begin(), story.end());
  return lines;
}

TEST(SpokenText, EachLineIsSaidWholeWhenItEndsAtTheClockTimeItEnds) {
  // 50 ms a character. The start-up advance at 10 ms types eight characters (the variable's
  // two among them); every click then rests 100 ms before the next event.
  Listened l({"&name:\"太郎\"", "\"名前は\"%name%\"です。\"\\n", "\"　\"\\n", "\"一行目\"\\r", "\"二行目\"\\p",
              "\"三行目\"", "~WAIT", "\"四\"\\n"},
             {"click", "click", "click", "click"});
  EXPECT_EQ(l.said, (Lines{"410 名前は太郎です。",  // a blank line (at 560) says nothing
                           "810 一行目", "1060 二行目",
                           // a step that stops without a line end says what it typed
                           "1310 三行目", "1460 四"}));
  EXPECT_TRUE(l.SpeakChecked());
  EXPECT_EQ(l.run.exitCode, 0);
}

TEST(SpokenText, ChoicesAreListedThenSaidWhereThePointerAndTheKeysGo) {
  const Lines story = Styled({"\"どっち？\"\\n", "~SELECT", "{", "北へ,@north", "南　へ,@south", "}", "*north",
                              "\"北です\"\\n", "*south", "\"南です\"\\n"});
  Listened l(story, {"click", "move 22 328", "move 30 330", "move 300 450", "move 25 329", "key down", "key down",
                     "key down", "key enter"});
  EXPECT_EQ(l.Texts(), (Lines{"どっち？", "北へ", "南　へ",  // the new choice, in order
                          "北へ",                        // the pointer comes onto it; moving on it says nothing
                          "北へ",                        // off and on again
                          "南　へ", "北へ", "南　へ",    // Down, round and round
                          "南です"}));
}

TEST(SpokenText, BoxesQuestionsAndTheInputDialogAreSaidInTheirTurn) {
  Listened l({"&name:\"\"", "\"名前は？\"", "~INPUTBOX \"名前\",\"太郎\",name,1", "~NOPE", "\"終わり\"\\n"},
             {"input 花子", "answer yes", "click"});
  EXPECT_EQ(l.Texts(), (Lines{"名前は？",  // the unfinished line goes before the box
                          "名前 全角128字(半角256字)まで 太郎", "以上の入力でよろしいですか？　：　花子",
                          "指定されたスクリプトは存在しません：　NOPE", "終わり"}));
}

TEST(SpokenText, TheKeyVAndTheMenuTurnSpeechOffAndOnAndSkippingSaysNothingUntilAChoice) {
  const Lines story = {"\"一\"\\n", "\"二\"\\n", "\"三\"\\n", "\"四\"\\n", "\"五\"\\n", "~SELECT", "{", "はい,", "}"};
  Listened l(story,
             {"key v", "click", "menu Speak", "click", "key v", "dump off.json", "key v", "menu SKIP", "wait 1000"});
  EXPECT_EQ(l.Texts(), (Lines{"一", "読み上げを開始します。", "三", "読み上げを開始します。", "はい"}));
  EXPECT_FALSE(ReadDump(l.dir, "off.json")["menu"]["Speak"]["checked"].get<bool>());
  EXPECT_TRUE(l.SpeakChecked());
  EXPECT_TRUE(l.state["choiceActive"].get<bool>());

  // Off unless asked for; --speak alone turns it on without a log.
  EXPECT_FALSE(Listened(story, {}, {}).SpeakChecked());
  EXPECT_TRUE(Listened(story, {}, {"--speak"}).SpeakChecked());
}

TEST(SpokenText, TheLogIsAHeadlessOutputAndOneThatCannotBeWrittenFailsTheRun) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n"}});
  HeadlessResult run = RunHeadlessGame(dir.path(), {}, 0, {"--speech-log", (dir.path() / "no/dir/s.txt").string()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("cannot create the speech log"), std::string::npos) << run.err;
  // A full disk: the lines said are lost, and the run says so.
  HeadlessResult full = RunHeadlessGame(dir.path(), {}, 0, {"--speech-log", "/dev/full"});
  EXPECT_EQ(full.exitCode, 2);
  EXPECT_NE(full.err.find("cannot write the speech log"), std::string::npos) << full.err;

  const Result<CommandLine> desktop = ParseCommandLine({"--speech-log", "s.txt", "game"});
  ASSERT_FALSE(desktop);
  EXPECT_EQ(desktop.error().message, "--speech-log needs --headless (see --speak)");
  EXPECT_FALSE(ParseCommandLine({"--headless", "--speech-log"}));
  EXPECT_TRUE(ParseCommandLine({"--speak", "game"})->speak);
}

// What reaches the speech service, and whether it cuts short what was being said.
class HeardSpeech final : public Speech {
 public:
  void Say(std::string_view utf8, SpeechOrder order) override {
    heard.push_back((order == SpeechOrder::Interrupt ? "! " : "+ ") + std::string(utf8));
  }
  void Silence() override { heard.push_back("silence"); }
  Lines heard;
};

TEST(Narrator, AnActionsFirstWordsInterruptAndTheRestOfItWaitsItsTurn) {
  HeardSpeech speech;
  Narrator narrator(speech);
  narrator.Typed(Sjis("off"));
  narrator.SetOn(true);
  narrator.ActionBegins();
  narrator.Typed(Sjis("　"));
  narrator.LineEnded(false);  // nothing to say: the next words still interrupt
  narrator.Typed(Sjis("一行"));
  narrator.Typed(Sjis("目"));
  narrator.LineEnded(false);
  narrator.Typed(Sjis("二行目"));
  narrator.LineEnded(true);  // skipped
  narrator.Typed(Sjis("三"));
  narrator.Say(Sjis("箱"));
  narrator.SayNow(Sjis("北へ"));
  narrator.ActionBegins();
  narrator.Say(Sjis("問い"));
  narrator.Typed(Sjis("途中"));
  narrator.SetOn(false);
  narrator.Say(Sjis("聞こえない"));
  narrator.SetOn(true);
  narrator.LineEnded(false);
  EXPECT_EQ(speech.heard, (Lines{"! 一行目", "+ 三", "+ 箱", "! 北へ", "! 問い", "silence"}));
}

}  // namespace
}  // namespace orv::test
