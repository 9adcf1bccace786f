// Choices played headless: SELECT and SELECTCG in small games, driven by pointer, keys, clicks
// and the skip item, read back through dumps and screenshots.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "graphics/bmp_decoder.h"
#include "logic/logic_play.h"
#include "platform/image_files.h"

namespace orv::test {
namespace {

// A message box over the lower part of the stage, red captions turning blue under the
// pointer, and a text line before the choice so that the captions stand under it.
std::vector<std::string> WithStyle(std::vector<std::string> story) {
  std::vector<std::string> lines = {"~FONTCOLOR 255,0,0,1", "~FONTCOLOR 0,0,255,2", "~BOXSIZE 0,300,640,480",
                                    "~TXTPOS 20,310",       "~FONTSIZE 16",         "\"どっち？\"\\n"};
  lines.insert(lines.end(), story.begin(), story.end());
  return lines;
}

const std::vector<std::string> kNorthSouth = WithStyle(
    {"~SELECT", "{", "北へ,@north", "南へ,@south", "}", "*north", "\"北\"\\n", "*south", "\"南\"\\n", "\"end\"\\n"});

Image ReadBmp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeBmp(bytes).image;
}

// Plays the game in a folder the test keeps, for screenshots and recorded frames.
struct Session {
  TempDir dir;
  HeadlessResult run;
  nlohmann::json state;
  Session(const GameSpec& game, std::vector<std::string> events,
          const std::vector<std::pair<std::string, Bytes>>& files = {}, std::vector<std::string> args = {}) {
    WriteGame(dir, game);
    for (const auto& [name, bytes] : files) dir.Write(name, bytes);
    events.push_back("dump state.json");
    for (auto& arg : args) arg = arg == "DIR" ? dir.path().string() : arg;
    run = RunHeadlessGame(dir.path(), events, 0, args);
    state = ReadDump(dir, "state.json");
  }
  Image Shot(const std::string& name) const { return ReadBmp(dir.path() / name); }
  nlohmann::json Dump(const std::string& name) const { return ReadDump(dir, name); }
};

std::string At(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

TEST(TextChoicePlay, TheDumpListsTheChoiceAndAClickOnTheSecondCaptionJumpsToItsLabel) {
  Played shown = Play(kNorthSouth, {"click"});
  const auto& list = shown.state["ChoiceList"];
  EXPECT_EQ(list["count"], 2);
  EXPECT_EQ(list["captions"][1], "南へ");
  EXPECT_EQ(list["targets"][0], "@north");
  EXPECT_EQ(list["captions"].size(), 10u);
  EXPECT_EQ(list["positions"].size(), 10u);
  EXPECT_EQ(list["positions"][0], (nlohmann::json{20, 326}));  // under the text line
  EXPECT_EQ(list["positions"][3], (nlohmann::json{20, -1}));
  EXPECT_TRUE(shown.state["choiceActive"]);
  EXPECT_EQ(shown.state["hoveredChoice"], 0);

  const int x = list["positions"][1][0], y = list["positions"][1][1];
  Played taken = Play(kNorthSouth, {"click", "click " + At(x + 2, y + 2)});
  EXPECT_FALSE(taken.state["choiceActive"]);
  EXPECT_EQ(taken.HistoryLine(0, 1), "南");
  EXPECT_EQ(taken.state["ChoiceList"]["targets"][1], "*south");
  EXPECT_EQ(taken.state["SavePointState"]["readPosition"], taken.Scene()["readPosition"]);
  EXPECT_NE(taken.Scene()["readPosition"], 0);
}

TEST(TextChoicePlay, PointingRecoloursTheCaptionUnderThePointerAndClicksBesideItTakeNothing) {
  Played shown = Play(kNorthSouth, {"click"});
  const int x = shown.state["ChoiceList"]["positions"][1][0], y = shown.state["ChoiceList"]["positions"][1][1];
  Session s(GameSpec{.scenario = kNorthSouth},
            {"click", "move " + At(x + 2, y + 2), "shot on.bmp", "dump on.json", "click " + At(x, y + 2)});
  const Image on = s.Shot("on.bmp");
  int blue = 0, red = 0;
  for (int py = y; py < y + 16; ++py)
    for (int px = x; px < x + 40; ++px) blue += on.Pixel(px, py) == Rgb{0, 0, 255};
  for (int py = y - 20; py < y; ++py)
    for (int px = x; px < x + 40; ++px) red += on.Pixel(px, py) == Rgb{255, 0, 0};
  EXPECT_GT(blue, 20);
  EXPECT_GT(red, 20);
  EXPECT_TRUE(s.Dump("on.json")["pointerOnChoice"]);
  // On the caption's left edge the pointer is not over it: the click does nothing.
  EXPECT_TRUE(s.state["choiceActive"]);
  EXPECT_FALSE(s.state["pointerOnChoice"]);
}

TEST(TextChoicePlay, KeysWrapAndEnterTakesTheHighlightedEntry) {
  const auto three = WithStyle(
      {"~SELECT", "{", "a,@a", "b,@b", "c,@c", "}", "*a", "\"A\"\\n", "*b", "\"B\"\\n", "*c", "\"C\"\\n"});
  Played up = Play(three, {"click", "key up", "key enter"});
  EXPECT_EQ(up.HistoryLine(0, 1), "C");
  Played down = Play(three, {"click", "key down", "key down", "key down"});
  EXPECT_EQ(down.state["hoveredChoice"], 0);
  EXPECT_TRUE(down.state["choiceActive"]);
}

TEST(TextChoicePlay, ScenarioTargetsEmptyTargetsAndSaveSlotCaptions) {
  Played chapter = Play(GameSpec{.scenario = WithStyle({"~SELECT", "{", "次へ,!chapter2.txt", "}"})},
                        {"click", "key enter"}, {{"chapter2.txt", CrLf({Sjis("\"第二章\"\\n")})}});
  EXPECT_EQ(chapter.Scene()["scenarioName"], "chapter2.txt");
  EXPECT_EQ(chapter.HistoryLine(0, 1), "第二章");

  // No jump: reading goes on after the block, and the save point keeps the page's start.
  Played stay = Play(WithStyle({"~SELECT", "{", "そのまま,", "}", "\"続き\"\\n"}), {"click", "key enter"});
  EXPECT_EQ(stay.HistoryLine(0, 1), "続き");
  EXPECT_EQ(stay.state["SavePointState"]["readPosition"], 0);

  // An empty slot: nothing happens, the choice waits.
  Played slot = Play(WithStyle({"~SELECT", "{", "\\3,\\3", "}", "\"never\"\\n"}), {"click", "key enter"});
  EXPECT_EQ(slot.state["ChoiceList"]["captions"][0], "3: ---- --/-- --:--:--");
  EXPECT_TRUE(slot.state["choiceActive"]);
}

TEST(TextChoicePlay, CaptionsTypeOneDoubleByteCharacterAtATimeAndTheStepEndsWithTheChoice) {
  // The blank after the keyword would let the line go on; the choice ends the step anyway.
  GameSpec game{.scenario = {"\"x\"\\n", "~SELECT ", "{", "あいうえおかきくけこさしすせそたちつてと,", "}",
                             "\"too early\"\\n"}};
  Played before = Play(game);
  Played typed = Play(game, {"click"});
  // Twenty characters of 50 ms each, then the click's own rest of 100 ms.
  EXPECT_EQ(typed.state["clockMs"].get<int>() - before.state["clockMs"].get<int>(), 20 * 50 + 100);
  EXPECT_EQ(typed.HistoryLine(0, 1), "");
}

TEST(TextChoicePlay, MoreThanTenEntriesKeepTenAndNameTheLine) {
  std::vector<std::string> story = {"~SELECT", "{"};
  for (int i = 0; i < 11; ++i) story.push_back("e" + std::to_string(i) + ",");
  story.push_back("}");
  Played p = Play(story);
  EXPECT_EQ(p.state["ChoiceList"]["count"], 10);
  EXPECT_NE(p.run.err.find("story.txt:13: SELECT takes at most ten entries"), std::string::npos) << p.run.err;
}

TEST(SkipPlay, TheSkipItemRunsToTheNextChoiceAndStopsThere) {
  const auto story =
      WithStyle({"\"one\"\\n", "\"two\"\\p", "\"three\"\\n", "~SELECT", "{", "a,", "}", "\"after\"\\n"});
  Played p = Play(story, {"menu SKIP", "wait 2000"});
  EXPECT_TRUE(p.state["choiceActive"]);
  EXPECT_FALSE(p.state["skipMode"]);
  EXPECT_TRUE(p.state["menu"]["SKIP"]["enabled"]);
  // While the choice waits the item does nothing.
  Played again = Play(story, {"menu SKIP", "wait 2000", "menu SKIP"});
  EXPECT_FALSE(again.state["skipMode"]);
  Played keyed = Play({"\"a\"\\n", "\"b\"\\n"}, {"menu SKIP", "key space"});
  EXPECT_FALSE(keyed.state["skipMode"]);
}

// --- picture choices ---

const Rgb kNormal{200, 0, 0}, kHover{0, 200, 0}, kPressed{0, 0, 200};

Bytes Bmp(int w, int h, Rgb color) {
  Image image(w, h);
  image.Fill(color);
  image.SetPixel(0, h - 1, Rgb{255, 0, 255});
  return EncodeBmp24(image);
}

const std::vector<std::pair<std::string, Bytes>> kButtons = {
    {"n.bmp", Bmp(64, 32, kNormal)}, {"h.bmp", Bmp(80, 40, kHover)}, {"p.bmp", Bmp(64, 32, kPressed)}};
const std::vector<std::string> kPictureStory = {
    "\"pick\"\\n",
    "~SELECTCG",
    "{",
    "\"n.bmp\",\"h.bmp\",\"p.bmp\",100,50,0,@yes",
    "\"n.bmp\",\"h.bmp\",\"p.bmp\",300,50,1,",
    "}",
    "\"no jump\"\\n",
    "*yes",
    "\"yes\"\\n"};

TEST(PictureChoicePlay, StrictEdgesTracelessSwapsAndTheDump) {
  Session s(GameSpec{.scenario = kPictureStory},
            {"click", "move 101 51", "dump a.json", "move 100 60", "dump b.json", "move 163 81", "shot hover.bmp",
             "move 301 51", "shot swapped.bmp", "key up", "key down"},
            kButtons);
  EXPECT_TRUE(s.Dump("a.json")["pointerOnChoice"]);
  EXPECT_FALSE(s.Dump("b.json")["pointerOnChoice"]);
  const Image hover = s.Shot("hover.bmp"), swapped = s.Shot("swapped.bmp");
  EXPECT_EQ(hover.Pixel(179, 89), kHover);
  EXPECT_EQ(swapped.Pixel(179, 89), hover.Pixel(99, 49));  // no trace of the larger picture
  EXPECT_EQ(swapped.Pixel(110, 60), kNormal);
  EXPECT_EQ(swapped.Pixel(310, 60), kHover);
  EXPECT_TRUE(s.state["pictureChoiceActive"]);
  EXPECT_EQ(s.state["hoveredChoice"], 1);  // Up and Down do nothing here
  const auto& list = s.state["PictureChoiceList"];
  EXPECT_EQ(list["count"], 2);
  EXPECT_EQ(list["right"][0], 164);
  EXPECT_EQ(list["bottom"][0], 82);
  EXPECT_EQ(list["transparent"][1], 1);
  EXPECT_EQ(list["shownHover"][0], 0);
  EXPECT_EQ(list["shownHover"][1], 1);
  EXPECT_EQ(list["normalPicture"][1], "n.bmp");
  EXPECT_EQ(list["pressedPicture"][0], "p.bmp");
  EXPECT_EQ(list["targets"][0], "@yes");
  EXPECT_EQ(list["top"][2], -1);
}

TEST(PictureChoicePlay, EnterTakesTheEntryUnderThePointerAndTheScreenComesBack) {
  Session s(GameSpec{.scenario = kPictureStory}, {"click", "shot before.bmp", "move 310 60", "key enter", "shot after.bmp"},
            kButtons);
  EXPECT_FALSE(s.state["pictureChoiceActive"]);
  EXPECT_EQ(s.state["history"][0]["lines"][1], "nojump");
  const Image before = s.Shot("before.bmp"), after = s.Shot("after.bmp");
  EXPECT_EQ(before.Pixel(310, 60), kNormal);
  EXPECT_EQ(after.Pixel(310, 60), after.Pixel(299, 49));
  // The save point was taken after the block: a save now resumes there.
  EXPECT_EQ(s.state["SavePointState"]["readPosition"], s.state["SceneState"]["readPosition"]);
  EXPECT_GT(s.state["SavePointState"]["readPosition"].get<int>(), 0);
}

TEST(PictureChoicePlay, AClickShowsThePressedPictureForThreeHundredMillisecondsThenJumps) {
  Session s(GameSpec{.scenario = kPictureStory}, {"click", "click 120 60"}, kButtons, {"--record", "DIR"});
  EXPECT_EQ(s.state["history"][0]["lines"][1], "yes");
  std::ifstream list(s.dir.path() / "frames.txt");
  std::vector<std::pair<std::string, int>> frames;
  for (std::string name; list >> name;) {
    int ms = 0;
    list >> ms;
    frames.emplace_back(name, ms);
  }
  size_t pressed = frames.size();
  for (size_t i = 0; i < frames.size() && pressed == frames.size(); ++i)
    if (ReadBmp(s.dir.path() / (frames[i].first + ".bmp")).Pixel(120, 60) == kPressed) pressed = i;
  ASSERT_LT(pressed + 1, frames.size());
  EXPECT_EQ(frames[pressed + 1].second - frames[pressed].second, 300);
  EXPECT_EQ(ReadBmp(s.dir.path() / (frames[pressed + 1].first + ".bmp")).Pixel(120, 60), kNormal);
}

TEST(PictureChoicePlay, AnEmptyBlockWaitsWhateverThePlayerDoes) {
  Played p = Play({"~SELECTCG", "{", "}", "\"never\"\\n"}, {"click 1 1", "key enter", "click", "menu SKIP", "wait 500"});
  EXPECT_TRUE(p.state["pictureChoiceActive"]);
  EXPECT_EQ(p.state["PictureChoiceList"]["count"], 0);
  EXPECT_EQ(p.HistoryLine(0, 0), "");
}

TEST(PictureChoicePlay, SkippingDoesNotTakeTheEntryUnderThePointer) {
  Session s(GameSpec{.scenario = kPictureStory}, {"click", "move 120 60", "menu SKIP", "wait 500"}, kButtons);
  EXPECT_TRUE(s.state["pointerOnChoice"]);
  EXPECT_TRUE(s.state["pictureChoiceActive"]);
}

}  // namespace
}  // namespace orv::test
