#pragma once
// Skipping through the story: the skip mode the menu item toggles, the backend's held skip key,
// and the SKIP mark that shows whether the skip timer's tick will advance. Whether it advances
// also depends on what waits on screen, which this part reads but never changes.
#include "app/input_state.h"
#include "choice/choices.h"
#include "platform/host.h"

namespace orv {

class SkipControl {
 public:
  SkipControl(Host& host, const Choices& choices, const InputState& input)
      : host_(host), choices_(choices), input_(input) {}

  // Skip mode as the menu item left it, for the state dump.
  bool mode() const { return mode_; }
  // Skip mode or the held key: what the script's typing and the spoken text ask about.
  bool Requested() const { return mode_ || held_; }
  // Whether the skip timer's tick advances the story now. The held key advances like skip
  // mode but leaves choices to the player. Skipping stops at a picture choice too (the tick
  // must not take the entry that happens to be under the pointer), and never draws the next
  // text over the history screen.
  bool Advances() const;
  // The skip timer has something to do: advance, or take a stale mark away.
  bool TimerHasWork() const { return mode_ || held_ || shown_; }

  // The menu item: skip mode flips, except while a text choice waits; the mark follows.
  void Toggle();
  void Hold(bool held) { held_ = held; }
  // Skip mode ends; the mark waits for the next ShowMark.
  void Stop() { mode_ = false; }
  // Skip mode ends and the mark goes at once: a box that stops it (a name to enter, say) holds
  // the game where no tick comes to take the mark away.
  void StopAndShow();
  // The mark shows whether a tick would advance now.
  void ShowMark();
  // As a new window has it: no skip mode, no key held, no mark.
  void Reset();

 private:
  Host& host_;
  const Choices& choices_;
  const InputState& input_;
  bool mode_ = false;
  bool held_ = false;   // the backend's skip key is held
  bool shown_ = false;  // the mark is on show
};

}  // namespace orv
