// A look at the real thing: run under a display (e.g. xvfb-run) with
//   SDL_VIDEODRIVER=x11 ORVANE_SHOT_DIR=/tmp test_sdl --gtest_also_run_disabled_tests
//     --gtest_filter='*VisualCheck*'
// It leaves screenshots of the whole screen (ImageMagick's import) with the menu open, a
// message box, a Yes/No question and the input dialog.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/sdl/desktop_session.h"
#include "platform/sjis.h"
#include "support/test_support.h"

namespace orv {
namespace {

using test::Sjis;

std::string ShotDir() {
  const char* dir = std::getenv("ORVANE_SHOT_DIR");
  return dir ? dir : "/tmp";
}

void Shoot(const std::string& name) {
  const std::string command = "import -window root " + ShotDir() + "/" + name;
  if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
}

// Takes a screenshot from SDL's timer thread while a modal box waits, then answers it.
Uint32 ShootAndAnswer(Uint32, void* param) {
  Shoot(*static_cast<std::string*>(param));
  SDL_Event done{};
  done.type = SDL_TEXTEDITING;  // the input method has finished composing
  SDL_PushEvent(&done);
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = SDLK_RETURN;
  SDL_PushEvent(&e);
  return 0;
}

void Push(SDL_Event e) { SDL_PushEvent(&e); }

MenuItem Item(std::string name, std::string_view caption, std::vector<MenuItem> children = {}) {
  MenuItem item;
  item.name = std::move(name);
  item.caption = Sjis(caption);
  item.children = std::move(children);
  return item;
}

MenuModel TheGamesMenu() {
  MenuModel m;
  std::vector<MenuItem> saves, loads;
  for (int i = 0; i < 10; ++i) {
    saves.push_back(Item("SaveDat" + std::to_string(i), std::to_string(i) + ": ---- --/-- --:--:--"));
    loads.push_back(Item("LoadDat" + std::to_string(i), std::to_string(i) + ": ---- --/-- --:--:--"));
  }
  MenuItem separator;
  separator.separator = true;
  m.items.push_back(Item("File", "ファイル(&F)",
                         {Item("Save", "セーブ", saves), Item("Load", "ロード", loads), Item("N2", "画面の保存"), separator,
                          Item("Exit1", "終了", {Item("N1", "タイトルに戻る"), Item("N5", "ゲームを終了する")})}));
  m.items.push_back(Item("SKIP", "次の選択肢まで進む(&S)"));
  MenuItem display = Item("DisplayMode", "解像度の変更(&D)", {Item("FullMode", "フルスクリーン表示"), Item("WindowMode", "ウィンドウ表示")});
  display.children[1].checked = true;
  MenuItem speed = Item("MESSAGE1", "メッセージスピードの変更(&M)",
                        {Item("vol1", "速い"), Item("vol2", "やや速い"), Item("vol3", "標準"), Item("vol4", "やや遅い"), Item("vol5", "遅い")});
  speed.children[2].checked = true;
  MenuItem n3 = Item("N3", "常に手前で表示");
  n3.checked = true;
  MenuItem volume = Item("volume", "音量設定(&V)");
  volume.enabled = false;
  m.items.push_back(Item("Config", "設定(&C)", {display, speed, Item("P1", "テキストをページ単位で表示する(&P)"), volume, n3}));
  m.items.push_back(Item("Help", "ヘルプ(&H)", {Item("About1", "バージョン情報")}));
  return m;
}

Image Stage(FontRenderer& fonts) {
  Image stage(kStageWidth, kStageHeight);
  for (int y = 0; y < kStageHeight; ++y)
    stage.FillRect(Rect{0, y, kStageWidth, y + 1}, Rgb{uint8_t(40 + y / 6), uint8_t(90 + y / 8), uint8_t(160 - y / 5)});
  stage.FillRect(Rect{20, 340, 620, 465}, Rgb{20, 20, 60});
  const FontSpec font{Sjis("ＭＳ 明朝"), 12, Rgb{255, 255, 255}};
  fonts.Draw(stage, 36, 356, Sjis("「ようこそ、オルヴェインの世界へ。ｶﾀｶﾅも表示できます」"), font);
  fonts.Draw(stage, 36, 380, Sjis("二行目のテキストです。ABCabc123"), FontSpec{Sjis("ＭＳ ゴシック"), 12, Rgb{255, 255, 160}});
  return stage;
}

TEST(VisualCheck, DISABLED_MenuDialogsAndStage) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  const char* scale = std::getenv("ORVANE_SCALE");
  DesktopSession session({".", scale ? std::atoi(scale) : 1, false});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  host.SetCaption(Sjis("第一話　【Orvane Ver 2.12】"));
  host.MenuChanged(TheGamesMenu());
  host.Present(Stage(session.fonts()));
  session.clock().WaitMs(300);
  Shoot("orvane-stage.png");

  struct NoGame : GameEvents {
    void Shown() override {}
    void Click() override {}
    void MouseDown(MouseButton, int, int) override {}
    void MouseMove(int, int) override {}
    void Wheel(WheelDirection) override {}
    void KeyDown(KeyPress) override {}
    void MenuClick(std::string_view) override {}
    void CloseRequested() override {}
    bool NextTimerDue(uint32_t&) override { return false; }
    void FireDueTimers(uint32_t) override {}
    bool Closed() const override { return true; }
  } game;
  SDL_Event alt{};
  alt.type = SDL_KEYDOWN;
  alt.key.keysym.sym = SDLK_c;
  alt.key.keysym.mod = KMOD_LALT;
  host.Dispatch(alt, game);
  SDL_Event down{};
  down.type = SDL_KEYDOWN;
  down.key.keysym.sym = SDLK_DOWN;
  host.Dispatch(down, game);
  SDL_Event right = down;
  right.key.keysym.sym = SDLK_RIGHT;
  host.Dispatch(right, game);
  session.clock().WaitMs(300);
  Shoot("orvane-menu.png");
  SDL_Event escape = down;
  escape.key.keysym.sym = SDLK_ESCAPE;
  host.Dispatch(escape, game);
  host.Dispatch(escape, game);

  std::string shot = "orvane-message.png";
  SDL_AddTimer(500, ShootAndAnswer, &shot);
  host.ShowMessage(Sjis("既に起動しています。"), "Orvane");
  std::string question = "orvane-question.png";
  SDL_AddTimer(500, ShootAndAnswer, &question);
  EXPECT_TRUE(host.AskYesNo(Sjis("以上の入力でよろしいですか？　：　山田太郎"), Sjis("入力確認")));
  std::string input = "orvane-input.png";
  SDL_AddTimer(700, ShootAndAnswer, &input);
  SDL_Event editing{};
  editing.type = SDL_TEXTEDITING;
  SDL_strlcpy(editing.edit.text, "へんかん", sizeof(editing.edit.text));
  Push(editing);
  auto text = host.AskText(Sjis("名前の入力"), Sjis("全角128字(半角256字)まで"), Sjis("山田太郎"));
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(Cp932ToUtf8(*text), "山田太郎");

  host.SetFullScreen(true);
  session.clock().WaitMs(300);
  host.Present(Stage(session.fonts()));
  Shoot("orvane-full.png");
  host.SetMenuBarVisible(false);
  session.clock().WaitMs(300);
  Shoot("orvane-full-nobar.png");
  host.SetFullScreen(false);
  host.SetMenuBarVisible(true);
  host.CenterWindow();
  session.clock().WaitMs(300);
  Shoot("orvane-restored.png");
}

}  // namespace
}  // namespace orv
