#include "app/narrator.h"

#include "platform/sjis.h"

namespace orv {

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
  const std::string_view text = TrimmedText(utf8);
  if (text.empty()) return;
  speech_.Say(text, order);
  interruptNext_ = false;
}

}  // namespace orv
