// What the desktop backend's pieces decide without a display: what a key means to each reader
// of the keyboard, what the player's own menu items ask, where the stage lies in the window,
// and when the notes go away.
#include <gtest/gtest.h>

#include "platform/sdl/player_menu.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/stage_frames.h"
#include "platform/sdl/window_layout.h"
#include "platform/sdl/window_notes.h"
#include "platform/text/font_renderer.h"
#include "platform/ui/menu_bar.h"

namespace orv {
namespace {

TEST(DesktopKeys, EachReaderOfTheKeyboardGetsItsOwnMeaning) {
  // The game: the space bar advances as Enter does; letters come upper-case; digits are not
  // the game's, though the menu and the boxes take them as accelerators.
  EXPECT_EQ(TranslateKey(SDLK_SPACE).code, KeyCode::Enter);
  EXPECT_EQ(TranslateKey(SDLK_KP_ENTER).code, KeyCode::Enter);
  EXPECT_EQ(TranslateKey(SDLK_z).letter, 'Z');
  EXPECT_EQ(TranslateKey(SDLK_5).code, KeyCode::Other);
  EXPECT_EQ(TranslateKey(SDLK_F12).code, KeyCode::F12);
  EXPECT_EQ(ToMenuKey(SDLK_5), MenuKey::Letter);
  EXPECT_EQ(KeyLetter(SDLK_5), '5');
  EXPECT_EQ(KeyLetter(SDLK_F1), 0);
  // The menu takes the space bar as Enter; a text box must not (a space is typed).
  EXPECT_EQ(ToMenuKey(SDLK_SPACE), MenuKey::Enter);
  EXPECT_NE(ToDialogKey(SDLK_SPACE, KMOD_NONE), DialogKey::Enter);
  // Shift turns Tab back, in both boxes.
  EXPECT_EQ(ToDialogKey(SDLK_TAB, KMOD_LSHIFT), DialogKey::BackTab);
  EXPECT_EQ(ToDialogKey(SDLK_TAB, KMOD_NONE), DialogKey::Tab);
  EXPECT_EQ(ToVolumeKey(SDLK_TAB, KMOD_RSHIFT), VolumeKey::BackTab);
  EXPECT_EQ(ToVolumeKey(SDLK_SPACE, KMOD_NONE), VolumeKey::Space);
}

TEST(DesktopKeys, OnlyWhatAHandMakesCountsAsInput) {
  // A box drops input made before it was drawn; a pointer that merely moved, or the window
  // changing, must never be dropped that way.
  SDL_Event event{};
  for (Uint32 type :
       {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_KEYDOWN, SDL_TEXTINPUT, SDL_TEXTEDITING, SDL_MOUSEWHEEL}) {
    event.type = type;
    EXPECT_TRUE(IsInputEvent(event)) << type;
  }
  for (Uint32 type : {SDL_MOUSEMOTION, SDL_KEYUP, SDL_WINDOWEVENT, SDL_QUIT}) {
    event.type = type;
    EXPECT_FALSE(IsInputEvent(event)) << type;
  }
}

TEST(PlayerMenu, EveryItemItOffersIsOneThePlayerCarriesOut) {
  const MenuItem view = PlayerMenu(Scaling::Fit, true);
  std::vector<Scaling> scalings;
  int toggles = 0;
  for (const MenuItem& item : view.children) {
    if (item.separator) continue;
    const auto choice = ReadPlayerMenuChoice(item.name);
    ASSERT_TRUE(choice) << item.name;
    if (choice->scaling) {
      scalings.push_back(*choice->scaling);
      EXPECT_EQ(item.checked, *choice->scaling == Scaling::Fit) << item.name;
    }
    if (choice->toggleFullScreen) {
      ++toggles;
      EXPECT_TRUE(item.checked);
    }
  }
  EXPECT_EQ(scalings, (std::vector<Scaling>{Scaling::Integer, Scaling::Fit, Scaling::Stretch}));
  EXPECT_EQ(toggles, 1);
  // The game's items go to the game, whatever they are called.
  EXPECT_FALSE(ReadPlayerMenuChoice("fullscreen"));
  EXPECT_FALSE(ReadPlayerMenuChoice("scaling.fit"));
  // The player's own names that ask nothing are not the game's either.
  const auto unknown = ReadPlayerMenuChoice(std::string(kPlayerMenuPrefix) + "scaling.huge");
  ASSERT_TRUE(unknown);
  EXPECT_FALSE(unknown->scaling);
  EXPECT_FALSE(unknown->toggleFullScreen);
}

TEST(WindowLayout, FullScreenLaysTheBarOverAStageThatKeepsTheScreen) {
  WindowShape shape{1920, 1080, 1, true, true, Scaling::Fit};
  WindowLayout layout = LayOutWindow(shape);
  EXPECT_EQ(layout.ui, 2);
  EXPECT_EQ(layout.bar, (Rect{0, 0, 1920, MenuBar::Height(2)}));
  EXPECT_EQ(layout.stage, (Rect{240, 0, 1680, 1080}));
  EXPECT_EQ(layout.stageScale, 0);  // 2.25 times: no whole factor for the cursor
  shape.scaling = Scaling::Integer;
  layout = LayOutWindow(shape);
  EXPECT_EQ(layout.stage, (Rect{320, 60, 1600, 1020}));
  EXPECT_EQ(layout.stageScale, 2);
  // In a window the same size, the bar takes its rows from the stage's area.
  shape.fullScreen = false;
  shape.scaling = Scaling::Stretch;
  layout = LayOutWindow(shape);
  EXPECT_EQ(layout.stage, (Rect{0, MenuBar::Height(2), 1920, 1080}));
  // A window that cannot tell its size is laid out at the scale it opened at.
  layout = LayOutWindow(WindowShape{0, 0, 2, false, true, Scaling::Integer});
  EXPECT_EQ(layout.stage, (Rect{0, MenuBar::Height(2), 1280, MenuBar::Height(2) + 960}));
}

TEST(WindowLayout, PointsOffTheStageClampToItsEdge) {
  const Rect stage{100, 20, 100 + 1280, 20 + 960};
  int x = -1, y = -1;
  EXPECT_TRUE(StagePointAt(stage, 100 + 1279, 20 + 959, x, y));
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  EXPECT_FALSE(StagePointAt(stage, 99, 19, x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_FALSE(StagePointAt(stage, 5000, -5000, x, y));
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 0);
}

TEST(WindowNotes, NotesLastTheirTimeAcrossTheClocksWrap) {
  FontRenderer fonts;
  WindowNotes notes(fonts);
  const uint32_t now = 0xFFFFFF00u;  // SDL's millisecond clock wraps after 49 days
  notes.ShowNotice("note", now + 0x200);
  notes.SetCaption("Game");
  notes.ShowCaptionNote("saved", now + 0x100);
  EXPECT_EQ(notes.Title(), "Game  -  saved");
  WindowNotes::Expired expired = notes.Expire(now + 0xFF);
  EXPECT_FALSE(expired.notice || expired.captionNote);
  expired = notes.Expire(now + 0x100);
  EXPECT_TRUE(expired.captionNote);
  EXPECT_FALSE(expired.notice);
  EXPECT_EQ(notes.Title(), "Game");
  EXPECT_TRUE(notes.Expire(now + 0x200).notice);
  EXPECT_FALSE(notes.Dismiss());  // already gone
  // Showing what is shown already changes nothing to redraw.
  EXPECT_TRUE(notes.ShowBusy(true));
  EXPECT_FALSE(notes.ShowBusy(true));
}

TEST(StageFrames, OnlyWhatChangedGoesOnAndEveryChangeIsKept) {
  StageFrames frames;
  Image stage(8, 4);
  stage.Fill(Rgb{10, 20, 30});
  EXPECT_EQ(frames.Take(stage), stage.bounds());  // the first frame is new everywhere
  EXPECT_TRUE(frames.Take(stage).Empty());
  // One channel of the last pixel of a row: the column must not be cut short.
  stage.FillRect(Rect{7, 1, 8, 2}, Rgb{10, 20, 31});
  EXPECT_EQ(frames.Take(stage), (Rect{7, 1, 8, 2}));
  stage.FillRect(Rect{0, 0, 1, 1}, Rgb{0, 0, 0});
  stage.FillRect(Rect{3, 3, 5, 4}, Rgb{0, 0, 0});
  EXPECT_EQ(frames.Take(stage), (Rect{0, 0, 5, 4}));
  EXPECT_TRUE(frames.shown() == stage);
  EXPECT_EQ(frames.Take(Image(4, 4)), (Rect{0, 0, 4, 4}));  // another size: new everywhere
}

TEST(StageFrames, ASlowDisplayGetsFewerFramesAcrossTheClocksWrap) {
  StageFrames frames;
  frames.SetDisplayRate(60);
  uint32_t now = 0xFFFFFFF0u;
  frames.Drawn(now, now + 1);
  EXPECT_FALSE(frames.DueInMs(now + 5));  // nothing waits
  frames.MarkPending();
  EXPECT_EQ(frames.DueInMs(now + 5), 12u);
  EXPECT_FALSE(frames.Due(now + 16));
  EXPECT_TRUE(frames.Due(now + 17));
  // Drawing never takes more than half the time: frames that take about 40 ms to draw (the
  // smoothed cost settles at 40) come at most every 80 ms.
  for (int i = 0; i < 20; ++i) {
    now += 100;
    frames.Drawn(now, now + 41);
  }
  frames.MarkPending();
  EXPECT_FALSE(frames.Due(now + 79));
  EXPECT_TRUE(frames.Due(now + 80));
  EXPECT_EQ(frames.drawnCount(), 21u);
}

}  // namespace
}  // namespace orv
