#include "app/narrator.h"

#include "platform/sjis.h"

namespace orv {

namespace {

// Takes one blank (a space, a tab, a line break, an ideographic space) off the front or the back.
bool TakeBlank(std::string_view& utf8, bool atFront) {
  static constexpr std::string_view kBlanks[] = {" ", "\t", "\r", "\n", "\u3000"};
  for (std::string_view blank : kBlanks) {
    if (atFront && utf8.starts_with(blank)) {
      utf8.remove_prefix(blank.size());
      return true;
    }
    if (!atFront && utf8.ends_with(blank)) {
      utf8.remove_suffix(blank.size());
      return true;
    }
  }
  return false;
}

// Without the blanks around it: a text of blanks alone is nothing to say.
std::string_view Trimmed(std::string_view utf8) {
  while (TakeBlank(utf8, true)) {}
  while (TakeBlank(utf8, false)) {}
  return utf8;
}

}  // namespace

void Narrator::SetOn(bool on) {
  if (on == on_) return;
  on_ = on;
  line_.clear();
  if (!on) speech_.Silence();
}

void Narrator::Typed(std::string_view sjis) {
  if (on_) line_ += sjis;
}

void Narrator::LineEnded(bool quietly) {
  if (!quietly) Speak(line_, interruptNext_ ? SpeechOrder::Interrupt : SpeechOrder::Queue);
  line_.clear();
}

void Narrator::Say(std::string_view sjis) {
  LineEnded(false);
  Speak(sjis, interruptNext_ ? SpeechOrder::Interrupt : SpeechOrder::Queue);
}

void Narrator::SayNow(std::string_view sjis) { Speak(sjis, SpeechOrder::Interrupt); }

void Narrator::Speak(std::string_view sjis, SpeechOrder order) {
  if (!on_) return;
  const std::string utf8 = Cp932ToUtf8(sjis);
  const std::string_view text = Trimmed(utf8);
  if (text.empty()) return;
  speech_.Say(text, order);
  interruptNext_ = false;
}

}  // namespace orv
