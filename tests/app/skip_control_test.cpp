// When skipping advances and what the SKIP mark shows, for every kind of thing that may wait
// on screen, the menu's skip mode and the held key alike.
#include <gtest/gtest.h>

#include "app/skip_control.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"

namespace orv::test {
namespace {

struct Skip {
  HeadlessClock clock;
  HeadlessHost host{nullptr, nullptr, clock};
  Choices choices;
  InputState input;
  SkipControl skip{host, choices, input};

  void Wait(bool text, bool picture) { choices.WaitAgain(text, picture, 0, false); }
};

TEST(SkipControl, TheHeldKeyLeavesTextChoicesToThePlayerAndNothingSkipsPictureChoicesOrHistory) {
  Skip s;
  s.skip.Hold(true);
  EXPECT_TRUE(s.skip.Advances());
  s.Wait(true, false);
  EXPECT_FALSE(s.skip.Advances());
  EXPECT_TRUE(s.skip.Requested()) << "the key is still held for the typing to hurry";

  s.skip.Hold(false);
  s.skip.Toggle();
  EXPECT_FALSE(s.skip.mode()) << "the menu item does nothing while a text choice waits";
  s.Wait(false, false);
  s.skip.Toggle();
  EXPECT_TRUE(s.skip.Advances());
  s.Wait(false, true);
  EXPECT_FALSE(s.skip.Advances());
  s.Wait(false, false);
  s.input.interactionState = kHistory;
  EXPECT_FALSE(s.skip.Advances());
  s.input.interactionState = kShown;
  EXPECT_TRUE(s.skip.Advances());
}

TEST(SkipControl, AStoppedSkipKeepsItsMarkUntilShownAndTheTimerHasWorkUntilThen) {
  Skip s;
  EXPECT_FALSE(s.skip.TimerHasWork());
  s.skip.Toggle();
  EXPECT_TRUE(s.host.SkippingShown());
  // A click ends skip mode; the mark goes at the next tick, which must therefore still come.
  s.skip.Stop();
  EXPECT_TRUE(s.host.SkippingShown());
  EXPECT_TRUE(s.skip.TimerHasWork());
  s.skip.ShowMark();
  EXPECT_FALSE(s.host.SkippingShown());
  EXPECT_FALSE(s.skip.TimerHasWork());
  // A box that stops skipping takes the mark away at once.
  s.skip.Toggle();
  s.skip.StopAndShow();
  EXPECT_FALSE(s.host.SkippingShown());
  EXPECT_FALSE(s.skip.TimerHasWork());
  // The held key shown over a picture choice: the mark says no advance comes.
  s.skip.Hold(true);
  s.Wait(false, true);
  s.skip.ShowMark();
  EXPECT_FALSE(s.host.SkippingShown());
  s.skip.Reset();
  EXPECT_FALSE(s.skip.Requested());
}

}  // namespace
}  // namespace orv::test
