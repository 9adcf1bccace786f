#pragma once
// Spoken text: the player's switch for speech (the key V, the menu item, the settings) and
// the moments at which the game's text becomes speech and goes out to the reading tools.
// The player tells it what happened; it decides what is said and when.
#include <string_view>

#include "app/menus.h"
#include "app/narrator.h"
#include "app/text_feed.h"
#include "choice/choices.h"

namespace orv {

class SpokenText {
 public:
  SpokenText(Speech& speech, Menus& menus, TextFeed& feed) : narrator_(speech), menus_(menus), feed_(feed) {}

  bool on() const { return narrator_.on(); }
  // Also ticks the menu item, so the menu never says otherwise.
  void SetOn(bool on);
  // The player's own switch: turning it on is confirmed aloud.
  void Toggle();
  // Speech as a fresh player has it: on when asked for from the start, no caption said yet.
  void Reset(bool on);

  // The player acted: what the action brings cuts short what is still being said.
  void ActionBegins() { narrator_.ActionBegins(); }
  // Message text typed into the current line (Shift-JIS).
  void Typed(std::string_view sjis);
  // The current line is complete; lines completed while skipping are not said.
  void LineEnded(bool skipping);
  // A text of the game's that is not message text (a problem at start-up): said in its turn.
  void Say(std::string_view sjis) { narrator_.Say(sjis); }
  // A box or question: said in its turn, and `shown` (what stands in the box) goes out to the
  // reading tools.
  void SayBox(std::string_view said, std::string_view shown);

  // A new choice: its captions in order, so that a player on the keys knows what there is to
  // choose from before moving through it.
  void AnnounceChoice(const ChoiceList& list);
  // The caption under the pointer, once each time the pointer comes onto it.
  void SpeakPointedChoice(const Choices& choices);
  // The caption of `entry`, at once; nothing for an entry the list does not have.
  void SpeakChoice(const ChoiceList& list, int entry);

 private:
  Narrator narrator_;
  Menus& menus_;
  TextFeed& feed_;
  int spokenChoice_ = -1;  // the choice entry whose caption was said last, -1 for none
};

}  // namespace orv
