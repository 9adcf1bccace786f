// Choices played headless: SELECT and SELECTCG in small games, driven by pointer, keys, clicks
// and the skip item, read back through dumps, screenshots and recorded frames.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "graphics/bmp_decoder.h"
#include "logic/logic_play.h"
#include "platform/image_files.h"

namespace orv::test {
namespace {

const Rgb kRed{255, 0, 0}, kBlue{0, 0, 255};

// A message box over the lower stage, red captions turning blue under the pointer, and a text
// line before the choice so that the captions stand under it.
std::vector<std::string> WithStyle(std::vector<std::string> story) {
  std::vector<std::string> lines = {"~FONTCOLOR 255,0,0,1", "~FONTCOLOR 0,0,255,2", "~BOXSIZE 0,300,640,480",
                                    "~TXTPOS 20,310",       "~FONTSIZE 16",         "\"どっち？\"\\n"};
  lines.insert(lines.end(), story.begin(), story.end());
  return lines;
}

const std::vector<std::string> kNorthSouth =
    WithStyle({"~SELECT", "skipped", "{", "北 へ,@north", "no comma", "南　へ,@south", "}", "*north", "\"北\"\\n",
               "*south", "\"南\"\\n"});

Image ReadBmp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeBmp(bytes).value_or(Image());
}

int Count(const Image& image, Rect r, Rgb color) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += image.Pixel(x, y) == color;
  return n;
}

// Plays a game in a folder the test keeps, for screenshots and recorded frames.
struct Session {
  TempDir dir;
  HeadlessResult run;
  nlohmann::json state;
  Session(const std::vector<std::string>& story, std::vector<std::string> events,
          const std::vector<std::pair<std::string, Bytes>>& files = {}, std::vector<std::string> args = {}) {
    WriteGame(dir, GameSpec{.scenario = story});
    for (const auto& [name, bytes] : files) dir.Write(name, bytes);
    events.push_back("dump state.json");
    for (auto& arg : args) arg = arg == "DIR" ? dir.path().string() : arg;
    run = RunHeadlessGame(dir.path(), events, 0, args);
    state = ReadDump(dir, "state.json");
  }
  Image Shot(const std::string& name) const { return ReadBmp(dir.path() / name); }
};

std::string At(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

TEST(TextChoicePlay, TheListUnderTheTextAndAClickOnTheSecondCaption) {
  Played shown = Play(kNorthSouth, {"click"});
  const auto& list = shown.state["ChoiceList"];
  EXPECT_EQ(list["count"], 2);
  EXPECT_EQ(list["captions"][0], "北へ");  // blanks dropped, the full-width space kept
  EXPECT_EQ(list["captions"][1], "南　へ");
  EXPECT_EQ(list["targets"][0], "@north");
  EXPECT_EQ(list["captions"].size(), 10u);
  EXPECT_EQ(list["positions"].size(), 10u);
  EXPECT_EQ(list["positions"][0], (nlohmann::json{20, 326}));
  EXPECT_EQ(list["positions"][3], (nlohmann::json{20, -1}));
  EXPECT_TRUE(shown.state["choiceActive"]);

  const int x = list["positions"][1][0], y = list["positions"][1][1];
  Played taken = Play(kNorthSouth, {"click", "click " + At(x + 2, y + 2)});
  EXPECT_FALSE(taken.state["choiceActive"]);
  EXPECT_EQ(taken.HistoryLine(0, 1), "南");
  EXPECT_EQ(taken.state["ChoiceList"]["targets"][1], "*south");
  // The save point takes the jump's position.
  EXPECT_EQ(taken.state["SavePointState"]["readPosition"], taken.Scene()["readPosition"]);
  EXPECT_NE(taken.Scene()["readPosition"], 0);
}

TEST(TextChoicePlay, OnlyTheCaptionStrictlyUnderThePointerTurnsAndClicksBesideItTakeNothing) {
  Played shown = Play(kNorthSouth, {"click"});
  const int x = shown.state["ChoiceList"]["positions"][1][0], y = shown.state["ChoiceList"]["positions"][1][1];
  Session s(kNorthSouth, {"click", "move " + At(x + 2, y + 2), "shot on.bmp", "click " + At(x, y + 2),
                          "click " + At(x + 5, y), "dump beside.json"});
  const Image on = s.Shot("on.bmp");
  EXPECT_GT(Count(on, Rect{x, y, x + 40, y + 16}, kBlue), 20);
  EXPECT_GT(Count(on, Rect{x, y - 20, x + 40, y}, kRed), 20);
  EXPECT_EQ(Count(on, Rect{x, y - 20, x + 40, y}, kBlue), 0);
  nlohmann::json beside = ReadDump(s.dir, "beside.json");
  EXPECT_TRUE(beside["choiceActive"]);
  EXPECT_FALSE(beside["pointerOnChoice"]);
  EXPECT_EQ(beside["hoveredChoice"], 1);
}

TEST(TextChoicePlay, CaptionsAreTypedAtTheMessageSpeedButDrawnWholeInPageMode) {
  const std::vector<std::string> story = {"\"q\"\\n", "~SELECT", "{", "abc,@a", "de,@a", "}", "*a"};
  // The time the click that puts the choice up takes, beyond the click's own pause.
  auto captionMs = [&](std::vector<std::string> events) {
    for (const char* e : {"dump before.json", "click", "dump after.json"}) events.push_back(e);
    Session s(story, events);
    EXPECT_TRUE(s.state["choiceActive"]);
    return ReadDump(s.dir, "after.json")["clockMs"].get<int>() - ReadDump(s.dir, "before.json")["clockMs"].get<int>();
  };
  const int typed = captionMs({}), whole = captionMs({"menu P1"});
  EXPECT_EQ(typed - whole, 5 * 50);  // five characters at the starting message speed
}

TEST(TextChoicePlay, KeysWrapAroundAndEnterTakesTheHighlightedEntry) {
  const auto three =
      WithStyle({"~SELECT", "{", "a,@a", "b,@b", "c,@c", "}", "*a", "\"A\"\\n", "*b", "\"B\"\\n", "*c", "\"C\"\\n"});
  EXPECT_EQ(Play(three, {"click", "key up", "key enter"}).HistoryLine(0, 1), "C");
  Played down = Play(three, {"click", "key down", "key down", "key down"});
  EXPECT_EQ(down.state["hoveredChoice"], 0);
  EXPECT_TRUE(down.state["choiceActive"]);
}

TEST(TextChoicePlay, TargetsWithoutAJumpScenarioTargetsAndSlotTargets) {
  Played chapter = Play(GameSpec{.scenario = WithStyle({"~SELECT", "{", "次へ,!chapter2.txt", "}"})},
                        {"click", "key enter"}, {{"chapter2.txt", CrLf({Sjis("\"第二章\"\\n")})}});
  EXPECT_EQ(chapter.Scene()["scenarioName"], "chapter2.txt");
  EXPECT_EQ(chapter.HistoryLine(0, 1), "第二章");

  // No jump, and a scenario that cannot load: reading goes on after the block, and the save
  // point keeps the read position of the last one (the page's start).
  Played stay = Play(
      WithStyle({"~SELECT", "{", "そのまま,", "}", "\"続き\"\\n", "~SELECT", "{", "x,!none.txt", "}", "\"その後\"\\n"}),
      {"click", "key enter", "click", "key enter"});
  EXPECT_EQ(stay.HistoryLine(0, 1), "続き");
  EXPECT_EQ(stay.HistoryLine(0, 2), "その後");
  EXPECT_EQ(stay.run.Messages(), std::vector<std::string>{"シナリオファイルの読みこみに失敗しました。"});
  EXPECT_EQ(stay.state["SavePointState"]["readPosition"], 0);

  // A slot caption shows the Load menu's caption; with no slot file the choice just waits.
  Played slot = Play(WithStyle({"~SELECT", "{", "\\3,\\3", "}", "\"never\"\\n"}), {"click", "key enter"});
  EXPECT_EQ(slot.state["ChoiceList"]["captions"][0], "3: ---- --/-- --:--:--");
  EXPECT_TRUE(slot.state["choiceActive"]);
}

TEST(TextChoicePlay, CaptionsTypeOneDoubleByteCharacterAtATimeAndTheStepEndsWithTheChoice) {
  // The blank after the keyword would let the line go on; the choice ends the step anyway.
  const std::vector<std::string> story = {
      "\"x\"\\n", "~SELECT ", "{", "あいうえおかきくけこさしすせそたちつてと,", "}", "\"too early\"\\n"};
  Played before = Play(story);
  Played typed = Play(story, {"click"});
  // Twenty characters of 50 ms each, then the click's own rest of 100 ms.
  EXPECT_EQ(typed.state["clockMs"].get<int>() - before.state["clockMs"].get<int>(), 20 * 50 + 100);
  EXPECT_EQ(typed.HistoryLine(0, 1), "");

  // A held button cuts the typing short; the captions appear at the next redraw.
  Session held(WithStyle({"~SELECT", "{", "a,", "}"}),
               {"press", "key enter", "shot held.bmp", "release", "move 600 10", "shot moved.bmp"});
  const Rect captions{20, 326, 120, 360};
  EXPECT_EQ(Count(held.Shot("held.bmp"), captions, kRed), 0);
  EXPECT_GT(Count(held.Shot("moved.bmp"), captions, kRed), 5);
}

TEST(ChoiceBlocks, TooManyEntriesAndBlocksWithoutTheirClosingLine) {
  std::vector<std::string> story = {"~SELECT", "{"};
  for (int i = 0; i < 11; ++i) story.push_back("e" + std::to_string(i) + ",");
  story.insert(story.end(), {"}", "~SELECTCG", "{"});
  for (int i = 0; i < 11; ++i) story.push_back("\"a.bmp\",\"a.bmp\",\"a.bmp\",0,0,0,");
  story.push_back("}");
  Played p = Play(story, {"key enter"});
  EXPECT_EQ(p.state["ChoiceList"]["count"], 10);
  EXPECT_EQ(p.state["PictureChoiceList"]["count"], 10);
  EXPECT_NE(p.run.err.find("story.txt:13: SELECT takes at most ten entries"), std::string::npos) << p.run.err;
  EXPECT_NE(p.run.err.find("story.txt:27: SELECTCG takes at most ten entries"), std::string::npos) << p.run.err;

  for (const char* command : {"~SELECT", "~SELECTCG"}) {
    Played open = Play({command, "{", "a,@a"});
    EXPECT_EQ(open.run.Messages(), std::vector<std::string>{"ファイルの最後まで読みこみました。終了します。"});
    EXPECT_TRUE(open.state.is_null());
  }
  Played missing = Play({"~SELECT", "{", "a,@nowhere", "}", "*elsewhere"}, {"key enter"});
  EXPECT_EQ(missing.run.Messages(), std::vector<std::string>{"ファイルの最後まで読みこみました。終了します。"});
}

TEST(SkipPlay, TheSkipItemRunsToTheNextChoiceAndStopsThere) {
  const auto story = WithStyle({"\"one\"\\n", "\"two\"\\p", "\"three\"\\n", "~SELECT", "{", "a,", "}", "\"after\"\\n"});
  Played p = Play(story, {"menu SKIP", "wait 2000"});
  EXPECT_TRUE(p.state["choiceActive"]);
  EXPECT_FALSE(p.state["skipMode"]);
  EXPECT_TRUE(p.state["menu"]["SKIP"]["enabled"]);
  // While the choice waits the item does nothing.
  EXPECT_FALSE(Play(story, {"menu SKIP", "wait 2000", "menu SKIP"}).state["skipMode"]);
}

// --- picture choices ---

const Rgb kNormal{200, 0, 0}, kHover{0, 200, 0}, kPressed{0, 0, 200};

// One colour but for the bottom-left pixel, which a transparent entry leaves out.
Bytes Bmp(int w, int h, Rgb color) {
  Image image(w, h);
  image.Fill(color);
  image.SetPixel(0, h - 1, Rgb{255, 0, 255});
  return EncodeBmp24(image);
}

const std::vector<std::pair<std::string, Bytes>> kButtons = {{"n.bmp", Bmp(64, 32, kNormal)},
                                                             {"h.bmp", Bmp(80, 40, kHover)},
                                                             {"p.bmp", Bmp(64, 32, kPressed)},
                                                             {"broken.bmp", Bytes{'B', 'M', 1, 2}}};
const std::vector<std::string> kPictureStory = {"\"pick\"\\n",
                                                "~SELECTCG",
                                                "whatever the opening line holds",
                                                "\"n.bmp\", \"h.bmp\",\"p.bmp\", 100 ,50,0,@yes\"ignored",
                                                "\"n.bmp\",\"h.bmp\",\"p.bmp\",300,50,1,",
                                                "\"broken.bmp\",\"broken.bmp\"",
                                                "}",
                                                "\"no jump\"\\n",
                                                "*yes",
                                                "\"yes\"\\n"};

TEST(PictureChoicePlay, StrictEdgesTracelessSwapsAndTheDump) {
  Session s(kPictureStory,
            {"click", "move 101 51", "dump a.json", "move 100 60", "dump b.json", "move 120 50", "dump c.json",
             "move 163 81", "shot hover.bmp", "move 301 51", "shot swapped.bmp", "key up", "key down", "move 1 1"},
            kButtons);
  EXPECT_TRUE(ReadDump(s.dir, "a.json")["pointerOnChoice"]);
  EXPECT_FALSE(ReadDump(s.dir, "b.json")["pointerOnChoice"]);
  EXPECT_FALSE(ReadDump(s.dir, "c.json")["pointerOnChoice"]);
  const Image hover = s.Shot("hover.bmp"), swapped = s.Shot("swapped.bmp");
  EXPECT_EQ(hover.Pixel(179, 89), kHover);  // the larger hover picture
  // Straight onto the other entry: the first is back to normal without a trace, the second
  // shows its hover picture, in one movement.
  EXPECT_EQ(swapped.Pixel(179, 89), hover.Pixel(99, 49));
  EXPECT_EQ(swapped.Pixel(110, 60), kNormal);
  EXPECT_EQ(swapped.Pixel(310, 60), kHover);
  EXPECT_TRUE(s.state["pictureChoiceActive"]);
  EXPECT_EQ(s.state["hoveredChoice"], 1);  // Up and Down do nothing here
  // The broken picture is named once, however often it is asked for; its entry has no area
  // (the pointer at 1, 1 is not over it).
  EXPECT_EQ(s.run.Messages(), std::vector<std::string>{"画像ファイルを読みこめませんでした：broken.bmp"});
  EXPECT_FALSE(s.state["pointerOnChoice"]);
  const auto& list = s.state["PictureChoiceList"];
  EXPECT_EQ(list["count"], 3);
  EXPECT_EQ(list["right"], (nlohmann::json{164, 364, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(list["bottom"][0], 82);
  EXPECT_EQ(list["top"], (nlohmann::json{50, 50, 0, -1, -1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(list["transparent"][1], 1);
  EXPECT_EQ(list["shownHover"][0], 0);
  EXPECT_EQ(list["hoverPicture"][2], "broken.bmp");
  EXPECT_EQ(list["pressedPicture"], (nlohmann::json{"p.bmp", "p.bmp", "", "", "", "", "", "", "", ""}));
  EXPECT_EQ(list["targets"][0], "@yes");
}

TEST(PictureChoicePlay, EnterTakesTheEntryUnderThePointerAndTheScreenComesBack) {
  Session s(kPictureStory, {"click", "shot before.bmp", "move 310 60", "key enter", "shot after.bmp"}, kButtons);
  EXPECT_FALSE(s.state["pictureChoiceActive"]);
  EXPECT_EQ(s.state["history"][0]["lines"][1], "nojump");
  const Image before = s.Shot("before.bmp"), after = s.Shot("after.bmp");
  EXPECT_EQ(before.Pixel(310, 60), kNormal);
  EXPECT_EQ(after.Pixel(310, 60), after.Pixel(299, 49));
  // Unlike a text choice, the save point is taken where reading went on: after the block.
  EXPECT_EQ(s.state["SavePointState"]["readPosition"], s.state["SceneState"]["readPosition"]);
  EXPECT_GT(s.state["SavePointState"]["readPosition"].get<int>(), 0);
}

TEST(PictureChoicePlay, AClickShowsThePressedPictureForThreeHundredMillisecondsThenJumps) {
  Session s(kPictureStory, {"click", "click 120 60"}, kButtons, {"--record", "DIR"});
  EXPECT_EQ(s.state["history"][0]["lines"][1], "yes");
  std::ifstream list(s.dir.path() / "frames.txt");
  std::vector<std::pair<std::string, int>> frames;
  std::string name;
  for (int ms = 0; list >> name >> ms;) frames.emplace_back(name, ms);
  size_t pressed = 0;
  while (pressed < frames.size() && ReadBmp(s.dir.path() / (frames[pressed].first + ".bmp")).Pixel(120, 60) != kPressed)
    ++pressed;
  ASSERT_LT(pressed + 1, frames.size());
  EXPECT_EQ(frames[pressed + 1].second - frames[pressed].second, 300);
  EXPECT_EQ(ReadBmp(s.dir.path() / (frames[pressed + 1].first + ".bmp")).Pixel(120, 60), kNormal);
}

TEST(PictureChoicePlay, NothingButAnEntryUnderThePointerTakesIt) {
  Played empty = Play({"~SELECTCG", "{", "}", "\"never\"\\n"}, {"click 1 1", "key enter", "click", "wait 500"});
  EXPECT_TRUE(empty.state["pictureChoiceActive"]);
  EXPECT_EQ(empty.HistoryLine(0, 0), "");
  // Skipping stops at a picture choice too, and does not take the entry under the pointer.
  Session skipped(kPictureStory, {"click", "move 120 60", "menu SKIP", "wait 500"}, kButtons);
  EXPECT_TRUE(skipped.state["pointerOnChoice"]);
  EXPECT_TRUE(skipped.state["pictureChoiceActive"]);
}

TEST(SkipPlay, SkipModeRunningIntoAPictureChoiceEndsThereAndTheMarkGoes) {
  std::vector<std::string> story = {"\"one\"\\n", "\"two\"\\n"};
  story.insert(story.end(), kPictureStory.begin() + 1, kPictureStory.end());
  Session s(story, {"menu SKIP", "wait 1000"}, kButtons);
  EXPECT_TRUE(s.state["pictureChoiceActive"]);
  EXPECT_FALSE(s.state["skipMode"]);
  EXPECT_FALSE(s.state["skipMark"]);
  EXPECT_EQ(s.state["history"][0]["lines"][1], "two");
  // With the choice gone the item turns skip mode on again.
  Session again(story, {"menu SKIP", "wait 1000", "click 120 60", "menu SKIP"}, kButtons);
  EXPECT_FALSE(again.state["pictureChoiceActive"]);
  EXPECT_TRUE(again.state["skipMode"]);
}

}  // namespace
}  // namespace orv::test
