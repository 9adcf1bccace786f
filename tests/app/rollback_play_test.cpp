// Stepping back through a game as a person does it, headless: the keys and the menu put back
// the exact picture and state of earlier lines, forward goes along the path kept without
// running the script again, and another choice at an earlier point leads elsewhere.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/image.h"
#include "platform/image_files.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

Bytes Picture(uint8_t seed) {
  Image image(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) image.SetPixel(x, y, Rgb{uint8_t(x * seed), uint8_t(y + seed), uint8_t(x ^ y)});
  return EncodeBmp24(image);
}

struct RollbackGame {
  TempDir dir;
  RollbackGame() {
    WriteGame(dir, {.scenario = {"~BOXSIZE 16,320,624,468",
                                 "~BOXCOL 16,24,64,176",
                                 "~TXTPOS 36,336",
                                 "~FONTSIZE 18",
                                 "!n:0!",
                                 "~LOADBG \"a.bmp\",0,0",
                                 "\"一行目\"\\n",
                                 "~MATH n=n+1",
                                 "\"二行目\"\\n",
                                 "~LOADBG \"b.bmp\",0,0",
                                 "~MATH n=n+1",
                                 "\"三行目\"\\p",
                                 "\"選んでください\"\\n",
                                 "~SELECT",
                                 "{",
                                 "左へ,@left",
                                 "右へ,@right",
                                 "}",
                                 "*left",
                                 "~MATH n=n+10",
                                 "~PSAVE \"flags.dat\"",
                                 "\"左です\"\\n",
                                 "~GOTO *end",
                                 "*right",
                                 "~MATH n=n+100",
                                 "\"右です\"\\n",
                                 "*end",
                                 "~ONSAVE 0",
                                 "\"おわり\"\\n",
                                 "\"もう一行\"\\n"}});
    dir.Write("a.bmp", Picture(3));
    dir.Write("b.bmp", Picture(7));
  }
  HeadlessResult Run(const std::vector<std::string>& events) const { return RunHeadlessGame(dir.path(), events); }
  std::string Shot(const std::string& name) const { return dir.Read(name); }
  nlohmann::json Dump(const std::string& name) const { return ReadDump(dir, name); }
};

// The game's own state, without what only tells the time or the ring itself.
nlohmann::json GameState(nlohmann::json dump) {
  for (const char* key : {"clockMs", "rollback", "menu", "autoMode", "skipMark"}) dump.erase(key);
  return dump;
}

int Variable(const nlohmann::json& dump, const std::string& name) {
  for (const auto& v : dump["numericVariables"])
    if (v["name"] == name) return v["value"].get<int>();
  return -1;
}

TEST(RollbackPlay, StepsBackToTheExactPixelsAndStateAndForwardWithoutRunningTheScriptAgain) {
  RollbackGame g;
  HeadlessResult run =
      g.Run({"shot 1.bmp",   "dump 1.json",  "click",         "shot 2.bmp",       "dump 2.json",  "click",
             "shot 3.bmp",   "dump 3.json",  "key backspace", "shot b2.bmp",      "dump b2.json", "key pageup",
             "shot b1.bmp",  "dump b1.json", "key backspace", "dump oldest.json", "key pagedown", "shot f2.bmp",
             "dump f2.json", "click",        "shot f3.bmp",   "dump f3.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(Variable(g.Dump("3.json"), "n"), 2);
  // The three points differ, so an equal picture below is no accident.
  ASSERT_NE(g.Shot("1.bmp"), g.Shot("2.bmp"));
  ASSERT_NE(g.Shot("2.bmp"), g.Shot("3.bmp"));

  EXPECT_EQ(g.Shot("b2.bmp"), g.Shot("2.bmp"));
  EXPECT_EQ(GameState(g.Dump("b2.json")), GameState(g.Dump("2.json")));
  EXPECT_EQ(g.Shot("b1.bmp"), g.Shot("1.bmp"));
  EXPECT_EQ(GameState(g.Dump("b1.json")), GameState(g.Dump("1.json")));
  EXPECT_EQ(g.Dump("b1.json")["rollback"]["position"], 0);
  EXPECT_EQ(g.Dump("b1.json")["rollback"]["ahead"], 2);
  EXPECT_FALSE(g.Dump("b1.json")["menu"]["StepBack"]["enabled"].get<bool>());
  // Nothing older: the key does nothing.
  EXPECT_EQ(GameState(g.Dump("oldest.json")), GameState(g.Dump("1.json")));

  // Forward again along the same path: the MATH of those lines did not run a second time.
  EXPECT_EQ(g.Shot("f2.bmp"), g.Shot("2.bmp"));
  EXPECT_EQ(g.Shot("f3.bmp"), g.Shot("3.bmp"));
  EXPECT_EQ(GameState(g.Dump("f3.json")), GameState(g.Dump("3.json")));
  EXPECT_EQ(g.Dump("f3.json")["rollback"]["ahead"], 0);
}

TEST(RollbackPlay, AnotherChoiceAtAnEarlierPointLeadsElsewhereAndFilesStayWritten) {
  RollbackGame g;
  // To the choice, take the first entry (left), then step back to the choice and take the
  // other one with the keys.
  HeadlessResult run =
      g.Run({"click", "click", "click", "click", "shot choice.bmp", "dump choice.json", "key enter", "dump left.json",
             "menu StepBack", "shot back.bmp", "dump back.json", "key down", "key enter", "dump right.json", "click",
             "dump off.json", "key backspace", "dump stillOff.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_TRUE(g.Dump("choice.json")["choiceActive"].get<bool>());
  EXPECT_EQ(Variable(g.Dump("left.json"), "n"), 12);

  EXPECT_EQ(g.Shot("back.bmp"), g.Shot("choice.bmp"));
  EXPECT_EQ(GameState(g.Dump("back.json")), GameState(g.Dump("choice.json")));

  const nlohmann::json right = g.Dump("right.json");
  EXPECT_EQ(Variable(right, "n"), 102);
  const auto& page = right["history"][right["pageIndex"].get<size_t>()]["lines"];
  EXPECT_NE(page.dump().find("右です"), std::string::npos) << page.dump();
  EXPECT_EQ(page.dump().find("左です"), std::string::npos) << page.dump();
  // The left path's point is gone: the story left it.
  EXPECT_EQ(right["rollback"]["ahead"], 0);
  EXPECT_EQ(right["rollback"]["depth"], g.Dump("choice.json")["rollback"]["depth"].get<int>() + 1);
  // What the left path wrote to disk stays written.
  EXPECT_TRUE(std::filesystem::exists(g.dir.path() / "flags.dat"));

  // With saving turned off by the script, stepping back is off too.
  EXPECT_FALSE(g.Dump("off.json")["rollback"]["allowed"].get<bool>());
  EXPECT_EQ(GameState(g.Dump("stillOff.json")), GameState(g.Dump("off.json")));
}

// A slot loaded while stepped back starts a path of its own: the click that resumes it reads
// the slot's page instead of stepping along the points that were ahead.
TEST(RollbackPlay, ASlotLoadedWhileSteppedBackGoesOnFromTheSlot) {
  RollbackGame g;
  HeadlessResult run = g.Run({"click", "click", "click", "menu SaveDat0", "key backspace", "key backspace",
                              "menu LoadDat0", "dump loaded.json", "key backspace", "dump back.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json loaded = g.Dump("loaded.json");
  EXPECT_EQ(loaded["rollback"]["ahead"], 0);
  const auto& page = loaded["history"][loaded["pageIndex"].get<size_t>()]["lines"];
  EXPECT_NE(page.dump().find("選んでください"), std::string::npos) << page.dump();
  // One step back from there is where the player stood when they loaded.
  EXPECT_EQ(g.Dump("back.json")["history"][0]["lines"][1], "二行目");
  EXPECT_EQ(g.Dump("back.json")["history"][0]["lineCount"], 2);
  EXPECT_EQ(g.Dump("back.json")["pageIndex"], 0);
}

}  // namespace
}  // namespace orv::test
