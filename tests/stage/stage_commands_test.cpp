// The stage commands through the headless player: composition, slots, effects as recorded
// frames, fades, flashes and pictures that cannot be loaded.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "graphics/fade_table.h"
#include "stage/stage_test_support.h"

namespace orv::test {
namespace {

const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kBlue{0, 0, 255};
const std::string kNoSuchEffect = "存在しないエフェクトＮＯを選択しました。";

// --- effects, frame by frame ---

struct RecordedEffect {
  int effect;
  int steps;
  // Whether the pixel at (x, y), y from the top, has been taken from the new stage after
  // pass `pass` (not used by the cross-fade).
  std::function<bool(int pass, int x, int y)> drawn;
};

int IndexOf(std::initializer_list<std::pair<int, int>> list, std::pair<int, int> wanted) {
  int i = 0;
  for (const auto& entry : list) {
    if (entry == wanted) return i;
    ++i;
  }
  return -1;
}

// The dissolves count rows from the bottom of the stage.
int FromBottom(int y) { return kStageHeight - 1 - y; }

class RecordedEffects : public ::testing::TestWithParam<RecordedEffect> {};

TEST_P(RecordedEffects, EachStepShowsTheExpectedPixels) {
  const RecordedEffect& e = GetParam();
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"old.bmp\",0,0", "~LOADBG \"new.bmp\"," + std::to_string(e.effect) + ",7",
                               "\\n"}});
  const Image before = OldStage(), after = NewStage();
  WritePicture(dir, "old.bmp", before);
  WritePicture(dir, "new.bmp", after);
  HeadlessResult run = RunHeadlessGame(dir.path(), {}, 0, {"--record", "rec"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.Messages().empty());

  // ... the old stage, the effect's steps, the finished stage, the line end's repaint.
  const std::vector<Frame> frames = ReadRecordedFrames(dir.path() / "rec");
  ASSERT_GE(frames.size(), size_t(e.steps + 3));
  const size_t first = frames.size() - 2 - size_t(e.steps);
  EXPECT_EQ(frames[first - 1].image, before);
  EXPECT_EQ(frames[frames.size() - 2].image, after);

  const FadeTable table;
  Image faded = before;
  for (int pass = 0; pass < e.steps; ++pass) {
    SCOPED_TRACE(pass);
    const Frame& frame = frames[first + size_t(pass)];
    EXPECT_EQ(frame.ms, frames[first].ms + 7u * uint32_t(pass));
    Image expected;
    if (e.effect == 9) {
      for (size_t i = 0; i < faded.bytes().size(); ++i)
        faded.bytes()[i] = table.at(after.bytes()[i], faded.bytes()[i], pass);
      expected = faded;
    } else {
      expected = Picture(kStageWidth, kStageHeight, [&](int x, int y) {
        return e.drawn(pass, x, y) ? after.Pixel(x, y) : before.Pixel(x, y);
      });
    }
    ASSERT_EQ(DifferingPixels(frame.image, expected), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stage, RecordedEffects,
    ::testing::Values(
        RecordedEffect{9, 16, nullptr},
        RecordedEffect{10, 4,
                       [](int pass, int x, int y) {
                         return IndexOf({{0, 0}, {1, 1}, {1, 0}, {0, 1}}, {FromBottom(y) % 2, x % 2}) <= pass;
                       }},
        RecordedEffect{15, 16,
                       [](int pass, int x, int y) {
                         // (column, row) within the 4 x 4 cell, in the order of the passes
                         return IndexOf({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {2, 1}, {1, 1}, {0, 1},
                                         {0, 2}, {1, 2}, {2, 2}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {0, 3}},
                                        {x % 4, FromBottom(y) % 4}) <= pass;
                       }},
        RecordedEffect{16, 4, [](int pass, int x, int y) {
                         const int r = FromBottom(y) % 4 / 2 * 2, c = x % 4 / 2 * 2;
                         return IndexOf({{0, 0}, {2, 2}, {2, 0}, {0, 2}}, {r, c}) <= pass;
                       }}),
    [](const auto& instance) { return "Effect" + std::to_string(instance.param.effect); });

TEST(StageEffects, NumbersUpTo20AreAcceptedAndOthersReported) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"a.bmp\",0,5", "~LOADBG \"a.bmp\",17,5", "~LOADBG \"a.bmp\",20,5",
                               "~LOADCHAR \"a.bmp\",0,19,5", "~LOADBG \"a.bmp\",21,5", "~LOADCHAR \"a.bmp\",1,-1,5",
                               "~CHARCLR 1,99,5", "\\n"}});
  WritePicture(dir, "a.bmp", Solid(8, 8, kRed));
  HeadlessResult run = RunHeadlessGame(dir.path(), {}, 0, {"--record", "rec"});
  EXPECT_EQ(run.Messages(), (std::vector<std::string>{kNoSuchEffect, kNoSuchEffect}));
  // Every command shows its stage at once: one frame each, no pause.
  const std::vector<Frame> frames = ReadRecordedFrames(dir.path() / "rec");
  ASSERT_GE(frames.size(), 8u);
  EXPECT_EQ(frames.back().ms, frames[frames.size() - 8].ms);
}

// While the player pages through or skips, the stage appears without its effect.
TEST(StageEffects, PageModeAndSkipModeShowTheStageAtOnce) {
  for (const char* mode : {"P1", "SKIP"}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    WriteGame(dir, {.scenario = {"\"a\"\\n", "~LOADBG \"a.bmp\",9,50", "\\p", "\"b\"\\n"}});
    WritePicture(dir, "a.bmp", Solid(640, 480, kRed));
    HeadlessResult run =
        RunHeadlessGame(dir.path(), {std::string("menu ") + mode, "click", "dump d.json"}, 0, {"--record", "rec"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadDump(dir, "d.json")["SceneState"]["backgroundName"], "a.bmp");
    int partlyFaded = 0, red = 0;
    for (const Frame& frame : ReadRecordedFrames(dir.path() / "rec")) {
      const uint8_t r = frame.image.Pixel(600, 400).r;
      partlyFaded += r > 0 && r < 255;
      red += r == 255;
    }
    EXPECT_EQ(partlyFaded, 0);
    EXPECT_GE(red, 1);
  }
}

// --- composition ---

TEST(StageComposition, LoadbgKeepsOnlyKeptSlotsAndASmallBackgroundSitsOnBlack) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~CHARMODE 0,0,1,0", "~CHARPOS 0,10,0", "~LOADCHAR \"red.bmp\",0,0,0",
                               "~CHARPOS 1,100,20", "~LOADCHAR \"green.bmp\",1,0,0", "~LOADBG \"small.bmp\",0,0",
                               "\\n"}});
  WritePicture(dir, "red.bmp", Solid(20, 20, kRed));
  WritePicture(dir, "green.bmp", Solid(20, 20, kGreen));
  WritePicture(dir, "small.bmp", Solid(100, 50, kBlue));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot s.bmp", "dump d.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Image shot = ReadPicture(dir.path() / "s.bmp");
  EXPECT_EQ(shot.Pixel(10, 0), kBlue);  // CHARPOS stored y 1, not 0
  EXPECT_EQ(shot.Pixel(10, 1), kRed);
  EXPECT_EQ(shot.Pixel(29, 20), kRed);
  EXPECT_EQ(shot.Pixel(99, 49), kBlue);
  EXPECT_EQ(shot.Pixel(105, 25), kBlack);  // the green slot left, the background ends at 100
  EXPECT_EQ(shot.Pixel(639, 479), kBlack);
  const nlohmann::json scene = ReadDump(dir, "d.json")["SceneState"];
  EXPECT_EQ(scene["charShown"][0], 1);
  EXPECT_EQ(scene["charShown"][1], 0);
  EXPECT_EQ(scene["charName"][1], "green.bmp");  // name and place stay
  EXPECT_EQ(scene["charY"][0], 1);
  EXPECT_EQ(scene["backgroundShown"], 1);
}

TEST(StageComposition, CharposAndCharmodeWaitForTheNextComposition) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~LOADCHAR \"sprite.bmp\",0,0,0", "~CHARPOS 0,300,200",
                               "~CHARMODE 0,1,0,0", "\\n", "~CHARCLR 5,0,0", "\\n"}});
  WritePicture(dir, "bg.bmp", Solid(640, 480, kBlue));
  // Green top-left pixel (the key in mode 1), red elsewhere.
  Image sprite = Solid(4, 4, kRed);
  sprite.SetPixel(0, 0, kGreen);
  WritePicture(dir, "sprite.bmp", sprite);
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot a.bmp", "click", "shot b.bmp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Image a = ReadPicture(dir.path() / "a.bmp"), b = ReadPicture(dir.path() / "b.bmp");
  EXPECT_EQ(a.Pixel(0, 0), kGreen);  // still at 0,0 and opaque
  EXPECT_EQ(a.Pixel(300, 200), kBlue);
  EXPECT_EQ(b.Pixel(0, 0), kBlue);
  EXPECT_EQ(b.Pixel(300, 200), kBlue);  // now colour-keyed at 300,200
  EXPECT_EQ(b.Pixel(301, 200), kRed);
  EXPECT_EQ(b.Pixel(303, 203), kRed);
}

TEST(StageComposition, SlotsDrawInOrderInEveryModeAndHideWithTheMessageWindow) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~CHARMODE 0,0,0,1", "~CHARPOS 0,-2,5",
                               "~LOADCHAR \"wide.bmp\",0,0,0", "~CHARMODE 1,2,0,0", "~CHARPOS 1,0,5",
                               "~LOADCHAR \"masked.bmp\",1,0,0", "~CHARPOS 12,0,0", "~LOADCHAR \"wide.bmp\",12,0,0",
                               "\\n"}});
  WritePicture(dir, "bg.bmp", Solid(640, 480, kBlue));
  WritePicture(dir, "wide.bmp", Picture(6, 2, [](int x, int) { return Rgb{uint8_t(10 * x), 0, 0}; }));
  // 3 image columns of white over 3 mask columns: black (opaque), grey, white.
  WritePicture(dir, "masked.bmp", Picture(6, 1, [](int x, int) {
                 if (x < 3) return Rgb{255, 255, 255};
                 const uint8_t m = x == 3 ? 0 : x == 4 ? 128 : 255;
                 return Rgb{m, m, m};
               }));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot a.bmp", "rclick", "shot b.bmp", "click", "shot c.bmp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Image a = ReadPicture(dir.path() / "a.bmp");
  EXPECT_EQ(a.Pixel(3, 6), (Rgb{30, 0, 0}));  // slot 0 from its own column 0, ending at column 3
  EXPECT_EQ(a.Pixel(4, 6), kBlue);
  auto blend = [](int i, int d, int m) { return uint8_t(((i - d) * (255 - m) + d * 256) >> 8); };
  EXPECT_EQ(a.Pixel(0, 5), (Rgb{blend(255, 0, 0), blend(255, 0, 0), blend(255, 0, 0)}));  // slot 1 over slot 0
  EXPECT_EQ(a.Pixel(1, 5), (Rgb{blend(255, 10, 128), blend(255, 0, 128), blend(255, 0, 128)}));
  EXPECT_EQ(a.Pixel(2, 5), (Rgb{20, 0, 0}));
  EXPECT_EQ(a.Pixel(0, 0), kBlue);  // slot 12 does not exist
  // Hidden message window: only the slot marked to stay is drawn; the click brings all back.
  const Image b = ReadPicture(dir.path() / "b.bmp");
  EXPECT_EQ(b.Pixel(3, 6), (Rgb{30, 0, 0}));
  EXPECT_EQ(b.Pixel(0, 5), (Rgb{0, 0, 0}));
  EXPECT_EQ(b.Pixel(2, 5), (Rgb{20, 0, 0}));
  EXPECT_EQ(b.Pixel(1, 5), (Rgb{10, 0, 0}));
  EXPECT_EQ(ReadPicture(dir.path() / "c.bmp"), a);
}

// --- fades and flashes ---

TEST(StageFades, FadeoutLeavesAColourBackgroundThatLaterCharactersStandOn) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~CHARMODE 3,0,1,0", "~CHARPOS 3,50,60",
                               "~LOADCHAR \"red.bmp\",3,0,0", "~LOADCHAR \"red.bmp\",4,0,0", "~FADEOUT 0,0,255,-5",
                               "\\n", "~CHARPOS 5,200,100", "~LOADCHAR \"green.bmp\",5,0,0", "\\n"}});
  WritePicture(dir, "bg.bmp", OldStage());
  WritePicture(dir, "red.bmp", Solid(10, 10, kRed));
  WritePicture(dir, "green.bmp", Solid(10, 10, kGreen));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot a.bmp", "dump a.json", "click", "shot b.bmp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Right after the fade: the plain colour alone, the kept character not drawn yet.
  EXPECT_EQ(ReadPicture(dir.path() / "a.bmp"), Solid(640, 480, kBlue));
  const nlohmann::json scene = ReadDump(dir, "a.json")["SceneState"];
  EXPECT_EQ(scene["backgroundShown"], 0);
  EXPECT_EQ(scene["backgroundColor"], 0xFF0000);
  EXPECT_EQ(scene["charShown"][3], 1);
  EXPECT_EQ(scene["charShown"][4], 0);
  const Image b = ReadPicture(dir.path() / "b.bmp");
  EXPECT_EQ(b.Pixel(50, 60), kRed);  // the kept slot returns at its place
  EXPECT_EQ(b.Pixel(200, 100), kGreen);
  EXPECT_EQ(b.Pixel(0, 0), kBlue);
  EXPECT_EQ(b.Pixel(5, 5), kBlue);  // slot 4 (at 0,0) left with the fade
}

TEST(StageFades, FadeoutRunsSixteenStepsTowardsTheColour) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~FADEOUT 255,255,255,4", "\\n"}});
  WritePicture(dir, "bg.bmp", Solid(640, 480, kBlack));
  HeadlessResult run = RunHeadlessGame(dir.path(), {}, 0, {"--record", "rec"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Frame> frames = ReadRecordedFrames(dir.path() / "rec");
  ASSERT_GE(frames.size(), 19u);
  // ... black, sixteen steps, the colour (FADEOUT's repaint), the line end's repaint.
  const size_t first = frames.size() - 18;
  const int rising[] = {0, 15, 45, 84, 126, 166, 199, 223, 239, 248, 252, 254, 254, 254, 254, 254};
  for (int step = 0; step < 16; ++step) {
    EXPECT_EQ(frames[first + size_t(step)].image.Pixel(320, 240).g, rising[step]);
    EXPECT_EQ(frames[first + size_t(step)].ms, frames[first].ms + 4u * uint32_t(step));
  }
  EXPECT_EQ(frames[frames.size() - 2].image, Solid(640, 480, Rgb{255, 255, 255}));
}

TEST(StageFades, FlashBlinksAndLeavesTheWindowAsItWas) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~FLASH 255,255,0,3,10", "~FLASH 0,0,0,0,10",
                               "~FLASH 0,0,0,-2,10", "\\n"}});
  WritePicture(dir, "bg.bmp", OldStage());
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump d.json"}, 0, {"--record", "rec"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Frame> frames = ReadRecordedFrames(dir.path() / "rec");
  ASSERT_GE(frames.size(), 8u);
  const size_t first = frames.size() - 7;  // six frames of flashing, then the line end
  EXPECT_EQ(frames[first - 1].image, OldStage());
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(frames[first + i].image, i % 2 == 0 ? Solid(640, 480, Rgb{255, 255, 0}) : OldStage());
    EXPECT_EQ(frames[first + i].ms, frames[first].ms + 10u * uint32_t(i));
  }
  EXPECT_EQ(frames.back().image, OldStage());
  EXPECT_EQ(ReadDump(dir, "d.json")["SceneState"]["backgroundColor"], 0);
}

// A clock on which the person asks to end the program after a number of pauses (waits, or
// the breaths of work that does not wait).
class ClosingClock final : public Clock {
 public:
  explicit ClosingClock(int pausesBeforeQuit) : left_(pausesBeforeQuit) {}
  uint32_t NowMs() override { return now_; }
  void WaitMs(uint32_t ms) override {
    now_ += ms;
    Pause();
  }
  bool ButtonHeld() override { return false; }
  void KeepAlive() override { Pause(); }
  bool QuitRequested() override { return left_ <= 0; }
  int pauses = 0;

 private:
  void Pause() {
    --left_;
    ++pauses;
  }
  int left_;
  uint32_t now_ = 0;
};

TEST(StageFades, AnEndlessFlashStopsWhenThePersonEndsTheProgram) {
  TempDir dir;
  GameFolder folder(dir.path());
  FontRenderer fonts;
  SceneState scene;
  QuietDialogs dialogs;
  for (const int delay : {0, 5}) {
    SCOPED_TRACE(delay);
    ClosingClock clock(7);
    FrameHost host(clock);
    Stage stage(host, clock, fonts, folder, scene, dialogs);
    stage.Surface() = OldStage();
    EXPECT_FALSE(stage.Flash(kRed, 2000000000, delay));
    // Four whole blinks, the last one ending on the old picture; the request is seen before
    // the fifth.
    EXPECT_EQ(clock.pauses, 8);
    EXPECT_EQ(host.frames.size(), 8u);
    EXPECT_EQ(stage.WindowPicture(), OldStage());
    EXPECT_EQ(clock.NowMs(), 8u * uint32_t(delay));
  }
  ClosingClock patient(100);
  FrameHost host(patient);
  Stage stage(host, patient, fonts, folder, scene, dialogs);
  EXPECT_TRUE(stage.Flash(kRed, 3, 0));
  EXPECT_EQ(patient.pauses, 6);
}

// --- pictures that cannot be loaded ---

TEST(StagePictures, AMissingPictureIsReportedAndTheScriptGoesOn) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~LOADBG \"none.bmp\",9,10", "~LOADCHAR \"gone.bmp\",2,9,10",
                               "~CHARCLR 2,0,0", "~LOADCHAR \"red.bmp\",3,0,0", "\\n"}});
  WritePicture(dir, "bg.bmp", Solid(640, 480, kBlue));
  WritePicture(dir, "red.bmp", Solid(10, 10, kRed));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot s.bmp", "dump d.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.Messages(), (std::vector<std::string>{"画像ファイルを読みこめませんでした：none.bmp",
                                                      "画像ファイルを読みこめませんでした：gone.bmp"}));
  // The old background stayed; the commands after the failures ran.
  const Image shot = ReadPicture(dir.path() / "s.bmp");
  EXPECT_EQ(shot.Pixel(5, 5), kRed);
  EXPECT_EQ(shot.Pixel(100, 100), kBlue);
  const nlohmann::json scene = ReadDump(dir, "d.json")["SceneState"];
  EXPECT_EQ(scene["backgroundName"], "none.bmp");
  EXPECT_EQ(scene["charShown"][2], 0);
}

TEST(StagePictures, APictureOfAnotherTypeLeavesABlackBackground) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~LOADBG \"bg.png\",0,0", "\\n"}});
  WritePicture(dir, "bg.bmp", Solid(640, 480, kBlue));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot s.bmp"});
  EXPECT_TRUE(run.Messages().empty());
  EXPECT_EQ(ReadPicture(dir.path() / "s.bmp"), Solid(640, 480, kBlack));
}

TEST(StagePictures, ANameLongerThanItsFieldIsCutToIt) {
  TempDir dir;
  const std::string name = std::string(81, 'a') + ".bmp";
  WriteGame(dir, {.scenario = {"~LOADBG \"bg.bmp\",0,0", "~LOADCHAR \"" + name + "\",0,0,0", "~LOADBG \"" + name + "\",0,0",
                               "\\n"}});
  WritePicture(dir, "bg.bmp", Solid(640, 480, kBlue));
  WritePicture(dir, name, Solid(640, 480, kRed));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot s.bmp", "dump d.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // 79 bytes are kept, so the type is lost and nothing loads: a black stage, no message.
  const nlohmann::json scene = ReadDump(dir, "d.json")["SceneState"];
  EXPECT_EQ(scene["backgroundName"], std::string(79, 'a'));
  EXPECT_EQ(scene["charName"][0], std::string(79, 'a'));
  EXPECT_TRUE(run.Messages().empty());
  EXPECT_EQ(ReadPicture(dir.path() / "s.bmp"), Solid(640, 480, kBlack));
}

}  // namespace
}  // namespace orv::test
