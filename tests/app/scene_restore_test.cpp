// A save point taken back, from memory or from a slot file: every part comes back as the save
// point left it, and a record that cannot be restored leaves the running game untouched.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/state_dump.h"
#include "graphics/picture_test_files.h"
#include "persist/slot_file.h"
#include "sound/wave_builder.h"
#include "support/player_session.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

// One note on one channel.
const Bytes kSong{0x4d, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01,
                  0x00, 0x60, 0x4d, 0x54, 0x72, 0x6b, 0x00, 0x00, 0x00, 0x0e, 0x00, 0xc0,
                  0x05, 0x00, 0x90, 0x3c, 0x64, 0x60, 0x3c, 0x00, 0x00, 0xff, 0x2f, 0x00};

// The first page sets up a scene that touches every restoring part (pictures, box tint, text
// colour and place, looping music and effect, variables); the second page's save point is the
// one taken back; the third page changes all of it again.
const std::vector<std::string> kScenario = {
    "~BOXSIZE 0,280,640,480",
    "~BOXCOL 90,20,40,200",
    "~TXTPOS 24,296",
    "~FONTCOLOR 0,255,0",
    "~LOADBG \"bg.bmp\",0,0",
    "~LOADCHAR \"ch.bmp\",1,20,30",
    "~MIDIPLAY \"loop.mid\",1",
    "~WAVEPLAY \"rain.wav\",0",
    "!hp:10!",
    "&who:\"旅人\"&",
    "\"一頁目\"\\p",
    "\"二頁目\"\\n",
    "~LOADBG \"bg2.bmp\",0,0",
    "~LOADCHAR \"ch.bmp\",2,300,40",
    "~MIDIPLAY \"other.mid\",1",
    "~WAVESTOP",
    "~BOXCOL 200,0,200,0",
    "~FONTCOLOR 255,255,255",
    "!hp:20!",
    "&who:\"勇者\"&",
    "\"二行目\"\\p",
    "\"三頁目\"\\n",
    "\"四行目\"\\n",
};

void WriteRestoreGame(const TempDir& game) {
  WriteGame(game, {.scenario = kScenario});
  game.Write("bg.bmp", BmpOf(SolidImage(640, 480, Rgb{10, 120, 30})));
  game.Write("bg2.bmp", BmpOf(SolidImage(640, 480, Rgb{200, 200, 10})));
  game.Write("ch.bmp", BmpOf(SolidImage(40, 60, Rgb{200, 20, 90})));
  for (const char* name : {"loop.mid", "other.mid"}) game.Write(name, kSong);
  game.Write("rain.wav", PcmWave(1, 22050, 16, 44100));
}

// What a restore brings back, as the state dump shows it.
nlohmann::json RestoredParts(const nlohmann::json& dump) {
  nlohmann::json out;
  for (const char* key : {"SceneState", "SavePointState", "numericVariables", "stringVariables", "music", "wave", "cd"})
    out[key] = dump[key];
  return out;
}

// Everything but the picture layers, which the caller compares.
struct Observed {
  nlohmann::json dump;
  Image window, screen, stage, tint;
};

Observed Observe(const Player& player) {
  return Observed{DumpState(player), player.stage().WindowPicture(), player.stage().ScreenLayer(),
                  player.stage().StageLayer(), player.stage().TintLayer()};
}

void ExpectUnchanged(const Observed& before, const Player& player, const std::string& what) {
  const Observed after = Observe(player);
  for (const auto& [key, value] : before.dump.items()) EXPECT_EQ(after.dump[key], value) << what << ": " << key;
  EXPECT_TRUE(after.window == before.window) << what;
  EXPECT_TRUE(after.screen == before.screen) << what;
  EXPECT_TRUE(after.stage == before.stage) << what;
  EXPECT_TRUE(after.tint == before.tint) << what;
}

TEST(SceneRestore, EveryPartComesBackAsTheSavePointLeftIt) {
  TempDir game, saves;
  WriteRestoreGame(game);
  FontRenderer fonts;
  Session s(game.path(), saves.path(), fonts);
  s.Play(1);  // the second page's save point is taken and its first line typed
  const SceneRecord record = s.player.CaptureScene();
  const Observed atSavePoint = Observe(s.player);
  ASSERT_TRUE(atSavePoint.dump["music"]["playing"]) << s.Lines();
  ASSERT_TRUE(atSavePoint.dump["wave"]["playing"]);

  for (int i = 0; i < 2; ++i) {
    s.player.Click();
    s.AdvanceClock(250);
  }
  ASSERT_NE(RestoredParts(DumpState(s.player)), RestoredParts(atSavePoint.dump)) << "the third page changes the scene";

  ASSERT_TRUE(s.player.RestoreScene(record).ok());
  const nlohmann::json restored = DumpState(s.player);
  EXPECT_EQ(RestoredParts(restored), RestoredParts(atSavePoint.dump));
  EXPECT_EQ(restored["scriptOffset"], atSavePoint.dump["SavePointState"]["readPosition"]);
  EXPECT_TRUE(s.player.stage().StageLayer() == atSavePoint.stage);
  EXPECT_TRUE(s.player.stage().TintLayer() == atSavePoint.tint);
  EXPECT_TRUE(s.player.CaptureScene() == record);

  // Reading on types the page's first line again, in its colour and place: the window is the
  // one the save point showed.
  s.player.Click();
  s.AdvanceClock(250);
  EXPECT_TRUE(s.player.stage().WindowPicture() == atSavePoint.window);
  EXPECT_EQ(DumpState(s.player)["scriptOffset"], atSavePoint.dump["scriptOffset"]);
}

// Stepping back across a jump into another scenario file: the record's own file is read again.
TEST(SceneRestore, ARecordTakesTheStoryBackIntoItsOwnScenarioFile) {
  TempDir game, saves;
  WriteGame(game, {.scenario = {"\"一頁目\"\\p", "\"二頁目\"\\n", "~GOTO !two.txt", "\"戻らない\"\\n"}});
  game.Write("two.txt", Sjis(CrLf({"!hp:5!", "\"別の話\"\\n", "\"続き\"\\n"})));
  FontRenderer fonts;
  Session s(game.path(), saves.path(), fonts);
  s.Play(1);
  const SceneRecord record = s.player.CaptureScene();
  const Observed atSavePoint = Observe(s.player);
  s.player.Click();
  s.AdvanceClock(250);
  ASSERT_EQ(DumpState(s.player)["SceneState"]["scenarioName"], "two.txt") << s.Lines();

  ASSERT_TRUE(s.player.RestoreScene(record).ok());
  s.player.Click();
  s.AdvanceClock(250);
  const nlohmann::json restored = DumpState(s.player);
  EXPECT_EQ(restored["SceneState"]["scenarioName"], "story.txt");
  EXPECT_EQ(restored["scriptOffset"], atSavePoint.dump["scriptOffset"]);
  EXPECT_EQ(restored["numericVariables"], atSavePoint.dump["numericVariables"]);
  EXPECT_TRUE(s.player.stage().WindowPicture() == atSavePoint.window);
}

TEST(SceneRestore, ARecordThatCannotBeRestoredChangesNothing) {
  TempDir game, saves;
  WriteRestoreGame(game);
  FontRenderer fonts;
  Session s(game.path(), saves.path(), fonts);
  s.Play(1);
  const SceneRecord good = s.player.CaptureScene();
  s.player.Click();
  s.AdvanceClock(250);
  const std::string linesSoFar = s.Lines();
  const Observed before = Observe(s.player);
  ASSERT_TRUE(before.dump["music"]["playing"]) << "a failed restore must not stop the music";

  SceneRecord goneScenario = good, pastTheEnd = good, beforeTheStart = good;
  goneScenario.scene.scenarioName.Set("gone.txt");
  pastTheEnd.scene.readPosition = int32_t(Sjis(CrLf(kScenario)).size()) + 1;
  beforeTheStart.scene.readPosition = -1;
  for (const SceneRecord* record : {&goneScenario, &pastTheEnd, &beforeTheStart}) {
    EXPECT_FALSE(s.player.RestoreScene(*record).ok());
    ExpectUnchanged(before, s.player, "from memory");
  }
  EXPECT_EQ(s.Lines(), linesSoFar) << "a restore from memory tells nobody";

  // Slot files that cannot be restored: cut inside the scenario's name, empty, naming a
  // scenario that is gone or a read position outside it.
  const Bytes whole = EncodeSlotFile("1: slot", good.scene, good.strings, good.numeric);
  game.Write("data_1.dat", Bytes(whole.begin(), whole.begin() + long(kSlotSceneAt + 4)));
  game.Write("data_2.dat", Bytes{});
  game.Write("data_3.dat", EncodeSlotFile("3: slot", goneScenario.scene, good.strings, good.numeric));
  game.Write("data_4.dat", EncodeSlotFile("4: slot", pastTheEnd.scene, good.strings, good.numeric));
  for (const char* item : {"LoadDat1", "LoadDat2", "LoadDat3", "LoadDat4", "LoadDat7"}) {
    s.player.MenuClick(item);
    ExpectUnchanged(before, s.player, item);
  }
  const std::string broken = "message: セーブデータが壊れているため、ロードできません。\n";
  EXPECT_EQ(s.Lines(), linesSoFar + broken + broken + broken + broken) << "a missing slot says nothing";
}

}  // namespace
}  // namespace orv::test
