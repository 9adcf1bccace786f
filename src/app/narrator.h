#pragma once
// What a player who cannot read the screen well hears while speech is on: each line of
// message text once it is complete, the texts of boxes, questions and the input dialog, and
// the captions of choices. Texts come as the game holds them (Shift-JIS) and are spoken as
// UTF-8.
//
// What a player's action brings is said at once, cutting short what was still being said;
// what follows within the same action (more lines typed in the same step, a box after them)
// waits its turn, so nothing the action brought is lost. Lines typed while skipping are not
// said: they would only cut each other off.
#include <string>
#include <string_view>

#include "platform/speech.h"

namespace orv {

class Narrator {
 public:
  explicit Narrator(Speech& speech) : speech_(speech) {}

  bool on() const { return on_; }
  // Turning speech off silences it at once and forgets the unfinished line.
  void SetOn(bool on);

  // The player acted (a click, a key, a menu): the next utterance interrupts.
  void ActionBegins() { interruptNext_ = true; }

  // Message text typed into the current line.
  void Typed(std::string_view sjis);
  // The current line is complete: it is said, or dropped when `quietly` (while skipping).
  void LineEnded(bool quietly);
  // A text of the game's: said after the unfinished line, if there is one.
  void Say(std::string_view sjis);
  // A text that answers the pointer or the keys: said now, whatever is being said.
  void SayNow(std::string_view sjis);

 private:
  void Speak(std::string_view sjis, SpeechOrder order);

  Speech& speech_;
  bool on_ = false;
  bool interruptNext_ = true;
  std::string line_;  // Shift-JIS
};

}  // namespace orv
