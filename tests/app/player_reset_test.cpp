// A player that is reset plays the next game exactly as a new player would: same dump, same
// picture on the window, same messages. Fuzzing and long test runs rely on it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/state_dump.h"
#include "graphics/picture_test_files.h"
#include "support/player_session.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

// One note on one channel, looping.
const Bytes kSong{0x4d, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x60, 0x4d,
                  0x54, 0x72, 0x6b, 0x00, 0x00, 0x00, 0x0e, 0x00, 0xc0, 0x05, 0x00, 0x90, 0x3c, 0x64, 0x60,
                  0x3c, 0x00, 0x00, 0xff, 0x2f, 0x00};

// A game that leaves as much behind as it can: a title, colours, sizes, a box, variables,
// pictures, music, wait icons, a choice that still waits, page mode and a message speed from
// the menus, and the pointer over the choice.
const GameSpec kBusyGame{.scenario = {
                             "~TITLE \"忙しいゲーム\"",
                             "~FONTCOLOR 255,0,0",
                             "~FONTSIZE 20",
                             "~BOXSIZE 0,280,640,480",
                             "~BOXCOL 40,0,0,200",
                             "~TXTPOS 12,290",
                             "~NVMODE 1,0,250",
                             "!a:7!",
                             "&s:\"名前\"",
                             "~LOADBG \"bg.bmp\",9,0",
                             "~LOADCHAR \"ch.bmp\",1,20,30",
                             "~ONSAVE",
                             "~MIDIPLAY \"bgm.mid\",0",
                             "\"一行目\"\\n",
                             "\"二行目\"\\p",
                             "~SELECT",
                             "{",
                             "はい,@yes",
                             "いいえ,@no",
                             "}",
                             "*yes",
                             "\"はい\"\\n",
                             "*no",
                             "\"いいえ\"\\n",
                         }};

const GameSpec kPlainGame{.scenario = {
                              "~NVMODE 1,0,100",
                              "~BOXSIZE 0,300,640,480",
                              "\"始まり\"\\n",
                              "~LOADBG \"bg.bmp\",0,0",
                              "!b:3!",
                              "\"二つ目\"'b'\\p",
                              "\"三つ目\"\\n",
                              "\"四つ目\"\\n",
                          }};

TEST(PlayerReset, AResetPlayerPlaysTheNextGameAsANewOne) {
  TempDir game, usedSaves, newSaves;
  game.Write("bg.bmp", BmpOf(SolidImage(640, 480, Rgb{10, 200, 30})));
  game.Write("ch.bmp", BmpOf(SolidImage(40, 60, Rgb{200, 20, 90})));
  FontRenderer fonts;

  WriteGame(game, kBusyGame);
  game.Write("bgm.mid", kSong);
  for (const char* name : {"icon1.bmp", "icon2.bmp"}) {
    Image icon = SolidImage(8, 8, Rgb{250, 250, 0});
    icon.SetPixel(0, 7, Rgb{});  // the see-through colour
    game.Write(name, BmpOf(icon));
  }
  Session used(game.path(), usedSaves.path(), fonts);
  used.Play(3, {"P1", "vol1", "N3"});
  used.player.MouseMove(100, 420);
  ASSERT_FALSE(used.player.choices().list().captions[0].empty()) << "the busy game should wait at its choice";
  used.Reset();

  WriteGame(game, kPlainGame);
  for (const char* name : {"bgm.mid", "icon1.bmp", "icon2.bmp"}) fs::remove(game.path() / name);
  Session fresh(game.path(), newSaves.path(), fonts);
  for (Session* session : {&used, &fresh}) {
    session->Play(3);
    session->AdvanceClock(100);  // the wait indicator shows
  }

  const nlohmann::json usedState = DumpState(used.player), freshState = DumpState(fresh.player);
  for (const auto& [key, value] : freshState.items()) EXPECT_EQ(usedState[key], value) << key;
  EXPECT_EQ(usedState.size(), freshState.size());
  EXPECT_TRUE(used.player.stage().WindowPicture() == fresh.player.stage().WindowPicture());
  EXPECT_TRUE(used.player.stage().ScreenLayer() == fresh.player.stage().ScreenLayer());
  EXPECT_EQ(used.Lines(), fresh.Lines());
  EXPECT_EQ(used.player.closed(), fresh.player.closed());
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

// An idle player wakes a real-time loop only for timers with work: the skip tick while
// skipping (the SKIP mark goes as skipping stops, without a tick), the blink while a wait mark
// shows.
// Headless runs keep every tick as before.
TEST(PlayerWakes, OnlyForTimersThatHaveWorkToDo) {
  TempDir game, saves;
  FontRenderer fonts;
  WriteGame(game, {.scenario = {"~NVMODE 0,0,100", "\"一\"\\n", "\"二\"\\n", "\"三\"\\n", "\"四\"\\n"}});
  Session s(game.path(), saves.path(), fonts);
  s.Play(0);
  uint32_t due = 0;
  ASSERT_TRUE(s.player.NextTimerDue(due));    // the skip tick still runs for headless runs
  EXPECT_FALSE(s.player.NextWakeDue(due));    // but nothing is worth waking for at a page
  s.player.MenuClick("SKIP");
  ASSERT_TRUE(s.player.NextWakeDue(due));
  EXPECT_LE(int32_t(due - s.clock.NowMs()), 20);
  s.AdvanceClock(60);
  s.player.KeyDown(KeyPress{KeyCode::Enter});  // a key ends skip mode and takes the mark away at once
  EXPECT_FALSE(s.player.NextWakeDue(due));

  Session blinking(game.path(), saves.path(), fonts);
  WriteGame(game, {.scenario = {"~NVMODE 1,0,100", "\"一\"\\n", "\"二\"\\n"}});
  blinking.Play(0);
  ASSERT_TRUE(blinking.player.NextWakeDue(due));  // the wait mark blinks
  blinking.player.MouseDown(MouseButton::Right, 10, 10);  // the message window hides: no mark
  EXPECT_FALSE(blinking.player.NextWakeDue(due));
}

}  // namespace
}  // namespace orv::test
