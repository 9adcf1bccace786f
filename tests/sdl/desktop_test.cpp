// The desktop backend end to end, on SDL's offscreen video driver: a window, a presented
// frame, input through the main loop, a modal box answered by keys, and closing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/sdl/desktop_loop.h"
#include "platform/sdl/desktop_session.h"
#include "platform/sdl/sdl_host.h"
#include "platform/sjis.h"
#include "support/test_support.h"

namespace orv {
namespace {

using test::Sjis;

struct FakeGame : GameEvents {
  std::vector<std::string> log;
  bool closed = false;
  bool timerOn = false;
  uint32_t timerDue = 0;
  std::function<void(KeyPress)> onKey;
  std::function<void(std::string_view)> onMenu;
  std::function<void()> onDown;

  void Shown() override { log.push_back("shown"); }
  void Click() override { log.push_back("click"); }
  void MouseDown(MouseButton b, int x, int y) override {
    log.push_back(std::string(b == MouseButton::Left ? "down-left " : "down-right ") + std::to_string(x) + " " +
                  std::to_string(y));
    if (onDown) onDown();
  }
  void MouseMove(int x, int y) override { log.push_back("move " + std::to_string(x) + " " + std::to_string(y)); }
  void Wheel(WheelDirection direction) override {
    log.push_back(direction == WheelDirection::Up ? "wheel up" : "wheel down");
  }
  void KeyDown(KeyPress key) override {
    log.push_back(key.code == KeyCode::Letter ? std::string("key ") + key.letter : "key " + std::to_string(int(key.code)));
    if (onKey) onKey(key);
  }
  void MenuClick(std::string_view name) override {
    log.push_back("menu " + std::string(name));
    if (onMenu) onMenu(name);
  }
  void CloseRequested() override {
    log.push_back("close");
    closed = true;
  }
  bool NextTimerDue(uint32_t& due) override {
    due = timerDue;
    return timerOn;
  }
  void FireDueTimers(uint32_t now) override {
    if (timerOn && int32_t(now - timerDue) >= 0) {
      timerOn = false;
      log.push_back("timer");
    }
  }
  bool Closed() const override { return closed; }
};

void PushKey(SDL_Keycode key, uint16_t mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.keysym.sym = key;
  e.key.keysym.mod = mod;
  SDL_PushEvent(&e);
}

void PushMouse(Uint32 type, Uint8 button, int x, int y) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = x;
    e.motion.y = y;
  } else {
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
  }
  SDL_PushEvent(&e);
}

void PushRepeat(SDL_Keycode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.repeat = 1;
  e.key.keysym.sym = key;
  SDL_PushEvent(&e);
}

void PushText(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  SDL_strlcpy(e.text.text, utf8, sizeof(e.text.text));
  SDL_PushEvent(&e);
}

void PushQuit() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
}

// Pushes groups of events one after another from a thread of its own, each a while after the
// one before, as a person answers what the window shows: a box never takes what was typed
// before it opened, so answers must come after it.
class Typist {
 public:
  explicit Typist(std::vector<std::function<void()>> steps)
      : thread_([steps = std::move(steps)] {
          for (const auto& step : steps) {
            SDL_Delay(kStepMs);
            step();
          }
        }) {}
  ~Typist() { thread_.join(); }
  Typist(const Typist&) = delete;
  Typist& operator=(const Typist&) = delete;

 private:
  static constexpr Uint32 kStepMs = 150;
  std::thread thread_;
};

MenuModel SmallMenu() {
  MenuModel model;
  MenuItem file;
  file.name = "File";
  file.caption = Sjis("ファイル(&F)");
  MenuItem n5;
  n5.name = "N5";
  n5.caption = Sjis("ゲームを終了する");
  file.children.push_back(n5);
  model.items.push_back(file);
  return model;
}

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A visual check may run these under a real display; by default nothing shows.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
  }

  // Reads one pixel of what the window shows (drawn now, whatever the frame pacing).
  static Rgb WindowPixel(SdlHost& host, int x, int y) {
    host.Repaint();
    uint8_t bgr[4] = {};
    SDL_Rect r{x, y, 1, 1};
    if (SDL_Renderer* renderer = SDL_GetRenderer(host.window())) {
      SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_BGR24, bgr, 4);
    } else if (SDL_Surface* surface = SDL_GetWindowSurface(host.window())) {
      // The surface path: the window's own pixels are what it shows.
      SDL_ConvertPixels(1, 1, surface->format->format,
                        static_cast<uint8_t*>(surface->pixels) + size_t(y) * size_t(surface->pitch) +
                            size_t(x) * surface->format->BytesPerPixel,
                        surface->pitch, SDL_PIXELFORMAT_BGR24, bgr, 4);
    }
    return Rgb{bgr[2], bgr[1], bgr[0]};
  }

  // Runs the loop until the condition holds (or a second has passed), the game's events
  // going to `game`.
  static void RunUntil(DesktopSession& session, FakeGame& game, const std::function<bool()>& done) {
    struct Watch : GameEventsRelay {
      const std::function<bool()>& done;
      uint32_t until;
      Watch(FakeGame& g, const std::function<bool()>& d)
          : GameEventsRelay(g), done(d), until(SDL_GetTicks() + 1000) {}
      void Shown() override {}
      bool NextTimerDue(uint32_t& due) override {
        due = SDL_GetTicks() + 10;
        return true;
      }
      void FireDueTimers(uint32_t) override {}
      bool Closed() const override { return done() || SDL_TICKS_PASSED(SDL_GetTicks(), until); }
    } watch(game, done);
    RunDesktopLoop(watch, session.host(), session.clock());
    EXPECT_TRUE(done());
  }

  static Image TestStage() {
    Image image(kStageWidth, kStageHeight);
    image.Fill(Rgb{0, 80, 0});
    image.FillRect(Rect{100, 100, 110, 110}, Rgb{255, 0, 0});
    return image;
  }
};

TEST_F(DesktopTest, ShowsTheStageScaledBelowTheMenuBar) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  session.host().MenuChanged(SmallMenu());
  session.host().Present(TestStage());
  int w = 0, h = 0;
  SDL_GetWindowSize(session.host().window(), &w, &h);
  const int bar = MenuBar::Height(1);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480 + bar);
  EXPECT_EQ(session.host().StageRect(), (Rect{0, bar, 640, 480 + bar}));
  EXPECT_EQ(WindowPixel(session.host(), 100, bar + 100), (Rgb{255, 0, 0}));
  EXPECT_EQ(WindowPixel(session.host(), 109, bar + 109), (Rgb{255, 0, 0}));
  EXPECT_EQ(WindowPixel(session.host(), 110, bar + 110), (Rgb{0, 80, 0}));
  EXPECT_EQ(WindowPixel(session.host(), 600, 5), ui::kFace);  // the bar

  int sx = 0, sy = 0;
  EXPECT_TRUE(session.host().ToStage(100, bar + 101, sx, sy));
  EXPECT_EQ(sx, 100);
  EXPECT_EQ(sy, 101);
  EXPECT_FALSE(session.host().ToStage(5, 5, sx, sy));

  // Without the bar the window shrinks to the stage.
  session.host().SetMenuBarVisible(false);
  SDL_GetWindowSize(session.host().window(), &w, &h);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(WindowPixel(session.host(), 100, 100), (Rgb{255, 0, 0}));
}

// The offscreen driver's screen is 1024 x 768: --scale 2 would open a window off it.
TEST_F(DesktopTest, AScaleLargerThanTheScreenIsCutToWhatFitsAndSaysSo) {
  DesktopSession session({".", 2});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  EXPECT_EQ(session.host().WindowedScale(), 1);
  EXPECT_EQ(session.host().scaleNote(), "--scale 2 does not fit the screen (1024 x 768): the window opens at 1x");
  int w = 0, h = 0;
  SDL_GetWindowSize(session.host().window(), &w, &h);
  EXPECT_EQ(w, 640);
}

TEST_F(DesktopTest, LoopDeliversInputTimersMenusAndModalAnswers) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  host.MenuChanged(SmallMenu());
  host.Present(TestStage());
  const int bar = MenuBar::Height(1);

  FakeGame game;
  std::vector<std::string> answers;
  game.onKey = [&](KeyPress key) {
    if (key.code == KeyCode::Enter) answers.push_back(host.AskYesNo(Sjis("よろしいですか？"), Sjis("入力確認")) ? "yes" : "no");
    if (key.code == KeyCode::Letter && key.letter == 'T') {
      auto text = host.AskText(Sjis("名前"), Sjis("全角128字(半角256字)まで"), Sjis("太郎"));
      answers.push_back(text ? "text " + Cp932ToUtf8(*text) : "cancel");
    }
    if (key.code == KeyCode::Letter && key.letter == 'M') {
      PushQuit();  // while the box is up: it closes as OK would, then the game
      host.ShowMessage(Sjis("メッセージ"), "Orvane");
      answers.push_back("ok");
    }
  };
  game.onMenu = [&](std::string_view name) {
    if (name == "N5") game.closed = true;
  };
  {
    Typist typist({[&] {
                     PushMouse(SDL_MOUSEMOTION, 0, 50, bar + 60);
                     PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 50, bar + 60);
                     PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 50, bar + 60);
                     PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 639, bar + 479);
                     PushKey(SDLK_RETURN);  // the game asks; the next key answers
                   },
                   [] { PushKey(SDLK_ESCAPE); }, [] { PushKey(SDLK_RETURN); }, [] { PushKey(SDLK_RETURN); },
                   [] { PushKey(SDLK_t); },  // the input dialog: keep the default, add to it and accept
                   [] {
                     PushKey(SDLK_END);
                     PushKey(SDLK_BACKSPACE);
                     PushText("花子");
                     PushKey(SDLK_RETURN);
                   },
                   [] { PushKey(SDLK_t); }, [] { PushKey(SDLK_ESCAPE); },
                   [] { PushKey(SDLK_SPACE); },  // the space bar is the game's Enter
                   [] { PushKey(SDLK_n); }, [] { PushKey(SDLK_m); }});
    EXPECT_EQ(session.Run(game), 0);
  }

  EXPECT_EQ(answers, (std::vector<std::string>{"no", "yes", "text 太花子", "cancel", "no", "ok"}));
  const std::vector<std::string> expected = {
      "shown", "move 50 60", "down-left 50 60", "click", "down-right 639 479",
      "key 0", "key 0",      "key T",           "key T", "key 0",
      "key M", "close"};
  EXPECT_EQ(game.log, expected);
}

// A box that comes up between a press and its release takes the press with it: the release
// that follows the answer must not click what lies under the pointer.
TEST_F(DesktopTest, AReleaseAfterABoxAnsweredMidPressClicksNothing) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  host.Present(TestStage());
  const int bar = MenuBar::Height(1);
  FakeGame game;
  game.onDown = [&] {
    game.onDown = nullptr;
    host.ShowMessage(Sjis("メッセージ"), "Orvane");
  };
  {
    Typist typist({[&] { PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 50, bar + 60); }, [] { PushKey(SDLK_RETURN); },
                   [&] {
                     PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 50, bar + 60);
                     PushQuit();
                   }});
    session.Run(game);
  }
  EXPECT_EQ(game.log, (std::vector<std::string>{"shown", "down-left 50 60", "close"}));
}

TEST_F(DesktopTest, TimersFireWhenDueWithoutInput) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  struct TimerGame : FakeGame {
    uint32_t firedAt = 0;
    SdlClock* clock = nullptr;
    void FireDueTimers(uint32_t now) override {
      if (timerOn && int32_t(now - timerDue) >= 0) {
        firedAt = clock->NowMs();
        closed = true;
      }
    }
  } game;
  game.clock = &session.clock();
  game.timerOn = true;
  const uint32_t start = session.clock().NowMs();
  game.timerDue = start + 60;
  session.Run(game);
  EXPECT_GE(game.firedAt - start, 60u);
  EXPECT_LT(game.firedAt - start, 500u);
}

TEST_F(DesktopTest, MenuClicksReachTheGameAndKeepTheirClicksToThemselves) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  session.host().MenuChanged(SmallMenu());
  FakeGame game;
  game.onMenu = [&](std::string_view name) {
    if (name == "N5") game.CloseRequested();
  };
  PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10);  // ファイル
  PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 10);
  PushMouse(SDL_MOUSEMOTION, 0, 30, MenuBar::Height(1) + 12);
  PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, MenuBar::Height(1) + 12);
  PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 30, MenuBar::Height(1) + 12);
  session.Run(game);
  EXPECT_EQ(game.log, (std::vector<std::string>{"shown", "menu N5", "close"}));

  // Alt+F and Enter choose the same item by keyboard.
  FakeGame keyboard;
  keyboard.onMenu = [&](std::string_view name) {
    if (name == "N5") keyboard.CloseRequested();
  };
  PushKey(SDLK_f, KMOD_LALT);
  PushKey(SDLK_RETURN);
  RunDesktopLoop(keyboard, session.host(), session.clock());
  EXPECT_EQ(keyboard.log, (std::vector<std::string>{"menu N5", "close"}));
}

TEST_F(DesktopTest, TheVolumeDialogTakesMouseAndKeysAndTheWheelReachesTheGame) {
  DesktopSession session({".", 2});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SdlHost& host = session.host();
  struct Controls : VolumeControls {
    std::array<Line, 3> lines{};
    Line Get(VolumeLine line) const override { return lines[size_t(line)]; }
    void MoveSlider(VolumeLine line, int position) override { lines[size_t(line)].position = position; }
    void SetMuted(VolumeLine line, bool muted) override { lines[size_t(line)].muted = muted; }
  } controls;
  // Where the host will put the box: centred on the stage at the widget scale.
  VolumeBox geometry(session.fonts(), controls);
  geometry.Place(host.StageRect(), host.WindowedScale());
  const Rect wave = geometry.SliderRect(VolumeLine::Wave), mute = geometry.MuteRect(VolumeLine::Cd);

  FakeGame game;
  game.onKey = [&](KeyPress key) {
    if (key.code == KeyCode::Letter && key.letter == 'V') {
      host.ShowVolumeDialog(controls);
      game.log.push_back("closed");
    }
    if (key.code == KeyCode::Letter && key.letter == 'Q') game.closed = true;
  };
  PushKey(SDLK_v);
  PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, (wave.left + wave.right) / 2, geometry.SliderY(2));
  PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, (wave.left + wave.right) / 2, geometry.SliderY(2));
  PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, mute.left + 4, mute.top + 4);
  PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, mute.left + 4, mute.top + 4);
  // Back from the CD mute box past the CD slider and the MIDI mute box to the MIDI slider.
  for (int i = 0; i < 3; ++i) PushKey(SDLK_TAB, KMOD_LSHIFT);
  PushKey(SDLK_DOWN);
  PushKey(SDLK_ESCAPE);
  for (int notches : {2, -1}) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notches;
    SDL_PushEvent(&e);
  }
  PushKey(SDLK_q);  // (a close request would go before everything queued)
  session.Run(game);
  EXPECT_EQ(controls.lines[0].position, 2);
  EXPECT_TRUE(controls.lines[2].muted);
  EXPECT_EQ(controls.lines[1].position, 4);
  EXPECT_EQ(game.log, (std::vector<std::string>{"shown", "key V", "closed", "wheel up", "wheel up", "wheel down",
                                                "key Q"}));
}

TEST_F(DesktopTest, WaitsKeepInputQueuedForTheGame) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  PushKey(SDLK_RETURN);
  SDL_Event expose{};
  expose.type = SDL_WINDOWEVENT;
  expose.window.event = SDL_WINDOWEVENT_EXPOSED;
  SDL_PushEvent(&expose);
  const uint32_t before = session.clock().NowMs();
  session.clock().WaitMs(40);
  EXPECT_GE(session.clock().NowMs() - before, 40u);
  SDL_Event event;
  ASSERT_EQ(SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 1);
  EXPECT_EQ(event.type, uint32_t(SDL_KEYDOWN));  // the window event was taken, the key stayed
  EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT), 0);
  EXPECT_FALSE(session.clock().ButtonHeld());
  session.clock().WaitMs(0);
}

// Presses made while the game is busy are counted as they arrive (typing stops at them) and
// dropped when the game says they came too early, instead of being played back.
TEST_F(DesktopTest, PressesAreCountedWhileQueuedAndStaleOnesAreDropped) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SdlClock& clock = session.clock();
  const uint32_t before = clock.GoOnPresses();
  PushKey(SDLK_RETURN);
  PushKey(SDLK_x);                 // not a press that goes on
  PushKey(SDLK_RETURN, KMOD_ALT);  // full screen, not a press that goes on
  PushRepeat(SDLK_SPACE);          // a held key's repeat
  EXPECT_EQ(clock.GoOnPresses(), before + 1);
  EXPECT_EQ(clock.GoOnPresses(), before + 1);  // still queued, counted once
  SDL_Delay(2);
  PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 100);
  EXPECT_EQ(clock.GoOnPresses(), before + 2);

  struct Refusing : FakeGame {
    uint32_t settledMs = 0;
    bool TakesInputFrom(uint32_t arrivedMs) const override { return int32_t(arrivedMs - settledMs) >= 0; }
  } game;
  game.settledMs = SDL_GetTicks() + 1;  // everything queued came while the game was busy
  PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 100, 100);
  SDL_Event event;
  while (SDL_PollEvent(&event)) session.host().Dispatch(event, game);
  // No key, no button and so no click reached the game; only the pointer's place did.
  for (const std::string& entry : game.log) EXPECT_EQ(entry.rfind("move", 0), 0u) << entry;

  SDL_Delay(3);
  PushKey(SDLK_RETURN);
  while (SDL_PollEvent(&event)) session.host().Dispatch(event, game);
  EXPECT_EQ(game.log.back(), "key " + std::to_string(int(KeyCode::Enter)));
}

TEST(DesktopScale, TheLargestScaleThatFitsLeavesRoomForTheBarAndAFrame) {
  EXPECT_EQ(LargestScaleThatFits(1920, 1040), 2);  // 3x would be 1920 x 1500
  EXPECT_EQ(LargestScaleThatFits(1366, 740), 1);
  EXPECT_EQ(LargestScaleThatFits(3840, 2120), 4);
  EXPECT_EQ(LargestScaleThatFits(100000, 100000), 8);
  EXPECT_EQ(LargestScaleThatFits(100, 100), 1);
}

TEST_F(DesktopTest, FullScreenLetterboxesAndRestores) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  host.SetFullScreen(true);
  EXPECT_TRUE(host.fullScreen());
  const Rect stage = host.StageRect();
  EXPECT_EQ(stage.Width() * 3, stage.Height() * 4);  // the stage keeps its shape
  host.SetMenuBarVisible(false);
  host.SetFullScreen(false);
  host.SetMenuBarVisible(true);
  int w = 0, h = 0;
  SDL_GetWindowSize(host.window(), &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480 + MenuBar::Height(1));
  host.CenterWindow();
  host.SetStayOnTop(false);
  host.SetCaption(Sjis("第一話　【Orvane Ver 2.12】"));
  EXPECT_STREQ(SDL_GetWindowTitle(host.window()), "第一話　【Orvane Ver 2.12】");
}

TEST_F(DesktopTest, MenuKeysBringTheHiddenBarInFullScreen) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  host.MenuChanged(SmallMenu());
  host.Present(TestStage());
  host.SetFullScreen(true);
  host.SetMenuBarVisible(false);  // as the game hides it, the pointer away from the top
  FakeGame game;
  auto dispatchAll = [&] {
    SDL_Event event;
    while (SDL_PollEvent(&event)) host.Dispatch(event, game);
  };
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  PushKey(SDLK_F10);
  dispatchAll();
  EXPECT_TRUE(host.menuBarShown());
  PushKey(SDLK_DOWN);
  PushKey(SDLK_RETURN);
  dispatchAll();
  EXPECT_EQ(game.log, std::vector<std::string>{"menu N5"});
  EXPECT_FALSE(host.menuBarShown());  // and hides with its menu

  // Alt alone does the same, and Escape closes the menu and the bar with it.
  SDL_Event alt{};
  alt.type = SDL_KEYDOWN;
  alt.key.keysym.sym = SDLK_LALT;
  SDL_PushEvent(&alt);
  alt.type = SDL_KEYUP;
  SDL_PushEvent(&alt);
  dispatchAll();
  EXPECT_TRUE(host.menuBarShown());
  PushKey(SDLK_ESCAPE);
  dispatchAll();
  EXPECT_FALSE(host.menuBarShown());
  EXPECT_TRUE(host.fullScreen());
}

TEST_F(DesktopTest, CursorFilesThatCannotBeReadKeepTheCursor) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  test::TempDir dir;
  dir.Write("bad.cur", std::string("not a cursor"));
  EXPECT_FALSE(session.host().SetCursorFromFile(dir.path() / "bad.cur"));
  EXPECT_FALSE(session.host().SetCursorFromFile(dir.path() / "missing.cur"));
  session.host().ResetCursor();
}

TEST_F(DesktopTest, SaveFileDialogAndTheSecondPlayersNotice) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  const std::string filter = Sjis("フルカラービットマップファイル（*.bmp）|*.bmp");
  {
    Typist typist({[] {
      PushText("shot01.bmp");
      PushKey(SDLK_RETURN);
    }});
    EXPECT_EQ(host.AskSaveFile(Sjis("画面の保存"), filter), "shot01.bmp");
  }
  {
    Typist typist({[] {
      PushText("x.bmp");
      PushKey(SDLK_ESCAPE);
    }});
    EXPECT_FALSE(host.AskSaveFile(Sjis("画面の保存"), filter));
  }
  {
    Typist typist({[] { PushKey(SDLK_RETURN); }});  // nothing entered: nothing chosen
    EXPECT_FALSE(host.AskSaveFile(Sjis("画面の保存"), filter));
  }
  {
    // Typed before the box opened: it is not the box's, and the box waits for its own answer.
    PushText("early.bmp");
    PushKey(SDLK_RETURN);
    SDL_Delay(2);  // clock times are whole milliseconds: what came in the box's own one counts
    Typist typist({[] { PushKey(SDLK_ESCAPE); }});
    EXPECT_FALSE(host.AskSaveFile(Sjis("画面の保存"), filter));
  }
  {
    Typist typist({[] { PushKey(SDLK_RETURN); }});
    session.ShowAlreadyRunning();  // returns once answered
  }
  SUCCEED();
}

TEST_F(DesktopTest, HeldKeysAdvanceOnlyWhileTheGameWaitsAndACloseGoesFirst) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  FakeGame game;
  game.onKey = [&](KeyPress key) {
    if (key.code == KeyCode::Enter && game.log.size() == 1) SDL_Delay(30);  // a step that types a line
    if (key.code == KeyCode::Letter) game.closed = true;
  };
  // Repeats that piled up while the first Enter kept the game busy come to nothing; a repeat
  // that finds the game waiting advances it, and a key pressed anew always counts.
  PushKey(SDLK_RETURN);
  for (int i = 0; i < 5; ++i) PushRepeat(SDLK_RETURN);
  std::thread later([] {
    SDL_Delay(150);
    PushRepeat(SDLK_RETURN);
    SDL_Delay(150);
    PushKey(SDLK_a);
  });
  RunDesktopLoop(game, session.host(), session.clock());
  later.join();
  EXPECT_EQ(game.log, (std::vector<std::string>{"key 0", "key 0", "key A"}));

  // A close request waits behind no queued input.
  FakeGame busy;
  for (int i = 0; i < 20; ++i) PushKey(SDLK_RETURN);
  PushQuit();
  RunDesktopLoop(busy, session.host(), session.clock());
  EXPECT_EQ(busy.log, (std::vector<std::string>{"close"}));
}

TEST_F(DesktopTest, ACloseRequestEndsBoxesAsTheirDefaultsAndEveryWaitAfter) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  SdlClock& clock = session.clock();
  SdlHost& host = session.host();
  std::thread closer([] {
    SDL_Delay(100);
    PushQuit();
  });
  uint32_t start = clock.NowMs();
  EXPECT_TRUE(host.AskYesNo(Sjis("よろしいですか？"), Sjis("入力確認")));  // Yes, the default
  EXPECT_LT(clock.NowMs() - start, 500u);
  closer.join();
  EXPECT_TRUE(clock.QuitRequested());
  start = clock.NowMs();
  clock.WaitMs(3000);
  EXPECT_LT(clock.NowMs() - start, 100u);
  EXPECT_EQ(host.AskText(Sjis("名前"), Sjis("?"), Sjis("太郎")), Sjis("太郎"));
  EXPECT_FALSE(host.AskSaveFile(Sjis("画面の保存"), "x|*.bmp"));
}

TEST_F(DesktopTest, ACloseDuringAWaitEndsItAndLeavesInputQueued) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  PushKey(SDLK_RETURN);
  std::thread closer([] {
    SDL_Delay(100);
    PushQuit();
  });
  const uint32_t start = session.clock().NowMs();
  session.clock().WaitMs(10000);
  const uint32_t waited = session.clock().NowMs() - start;
  closer.join();
  EXPECT_GE(waited, 90u);
  EXPECT_LT(waited, 500u);
  EXPECT_TRUE(session.clock().QuitRequested());
  SDL_Event event;
  ASSERT_EQ(SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 1);
  EXPECT_EQ(event.type, uint32_t(SDL_KEYDOWN));
}

TEST_F(DesktopTest, WaitsKeepTheirRhythmWhateverTheStepsCost) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlClock& clock = session.clock();
  // Forty 5 ms pauses with 3 ms of drawing before each take forty times 5 ms, not 8: the pauses
  // themselves sleep what the drawing left of each 5 ms. Only the time inside the waits is
  // judged, so a loaded machine that stretches the drawing cannot fail a sound clock, while a
  // clock that sleeps the whole 5 ms from each call's own start never gets under 200 ms.
  const uint32_t start = clock.NowMs();
  uint32_t waited = 0;
  for (int step = 0; step < 40; ++step) {
    SDL_Delay(3);
    const uint32_t before = clock.NowMs();
    clock.WaitMs(5);
    waited += clock.NowMs() - before;
  }
  EXPECT_GE(clock.NowMs() - start, 200u);
  EXPECT_LT(waited, 200u);
  // A wait after a long pause is measured from its own start.
  SDL_Delay(100);
  const uint32_t again = clock.NowMs();
  clock.WaitMs(20);
  EXPECT_GE(clock.NowMs() - again, 20u);
}

TEST_F(DesktopTest, FramesFollowTheDisplayAndShowTheLatestPicture) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  const int bar = MenuBar::Height(1);
  Image image = TestStage();
  host.Present(image);
  const uint64_t before = host.FramesDrawn();
  const uint32_t start = SDL_GetTicks();
  for (int i = 0; i < 200; ++i) {
    image.FillRect(Rect{i, 300, i + 1, 302}, Rgb{0, 0, 255});  // a small change a step
    host.Present(image);
  }
  const uint32_t elapsed = SDL_GetTicks() - start;
  EXPECT_LE(host.FramesDrawn() - before, elapsed / 16 + 2);
  session.clock().WaitMs(40);  // the last picture is shown by the next wait
  EXPECT_FALSE(host.FrameDueInMs());
  EXPECT_EQ(WindowPixel(host, 199, bar + 301), (Rgb{0, 0, 255}));
  EXPECT_EQ(WindowPixel(host, 200, bar + 301), (Rgb{0, 80, 0}));
  EXPECT_EQ(WindowPixel(host, 104, bar + 104), (Rgb{255, 0, 0}));
}

TEST_F(DesktopTest, ScalingModesLayTheStageOutInAnyWindow) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  SDL_SetWindowSize(host.window(), 1366, 768);
  EXPECT_EQ(host.scaling(), Scaling::Integer);
  EXPECT_EQ(host.StageRect(), (Rect{363, 154, 1003, 634}));  // below the 20-pixel bar
  host.SetScaling(Scaling::Fit);
  EXPECT_EQ(host.StageRect(), (Rect{184, 20, 1181, 768}));
  host.SetScaling(Scaling::Stretch);
  EXPECT_EQ(host.StageRect(), (Rect{0, 20, 1366, 768}));
  // Fit at 1.5. (The offscreen driver's surface keeps its first size, so what a resized
  // window shows is checked under a real display: see the README's visual check.)
  host.SetScaling(Scaling::Fit);
  SDL_SetWindowSize(host.window(), 960, 740);
  EXPECT_EQ(host.StageRect(), (Rect{0, 20, 960, 740}));
  int sx = 0, sy = 0;
  EXPECT_TRUE(host.ToStage(157, 20 + 157, sx, sy));
  EXPECT_EQ(sx, 104);
  EXPECT_EQ(sy, 104);
}

TEST_F(DesktopTest, ShortcutsAndThePlayersOwnMenu) {
  DesktopSession session({".", 1});
  std::string error;
  ASSERT_TRUE(session.Start(error)) << error;
  SdlHost& host = session.host();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  // Without the game's display items the window switches by itself.
  host.MenuChanged(SmallMenu());
  FakeGame game;
  PushKey(SDLK_F11);
  RunUntil(session, game, [&] { return host.fullScreen(); });
  PushKey(SDLK_ESCAPE);  // leaves full screen, and is not the game's
  RunUntil(session, game, [&] { return !host.fullScreen(); });
  PushKey(SDLK_RETURN, KMOD_LALT);
  RunUntil(session, game, [&] { return host.fullScreen(); });
  host.SetFullScreen(false);
  EXPECT_EQ(game.log, std::vector<std::string>{});

  // With them, the game's items do it, so that its check marks follow.
  MenuModel menu = SmallMenu();
  MenuItem full;
  full.name = "FullMode";
  full.caption = Sjis("フルスクリーン表示");
  menu.items.push_back(full);
  host.MenuChanged(menu);
  game.onKey = [&](KeyPress) { game.closed = true; };
  PushKey(SDLK_RETURN, KMOD_RALT);
  // The player's menu after the game's: 表示 > 画面いっぱいに拡大, its third item. It is the
  // player's own business: the game hears nothing of it.
  PushKey(SDLK_v, KMOD_LALT);
  PushKey(SDLK_DOWN);
  PushKey(SDLK_DOWN);
  PushKey(SDLK_RETURN);
  PushKey(SDLK_q);
  RunDesktopLoop(game, host, session.clock());
  EXPECT_EQ(game.log, (std::vector<std::string>{"menu FullMode", "key Q"}));
  EXPECT_EQ(host.scaling(), Scaling::Stretch);
  EXPECT_EQ(host.menuBar().model().items.back().name, std::string(kPlayerMenuPrefix) + "view");
}

}  // namespace
}  // namespace orv
