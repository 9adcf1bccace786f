#include "app/spoken_text.h"

#include "platform/sjis.h"

namespace orv {

namespace {
// Said when the player turns speech on, so that one who cannot see the menu knows it took.
constexpr std::string_view kSpeechOnUtf8 = "読み上げを開始します。";
}  // namespace

void SpokenText::SetOn(bool on) {
  narrator_.SetOn(on);
  menus_.SetChecked("Speak", on);
}

void SpokenText::Toggle() {
  SetOn(!on());
  narrator_.ActionBegins();
  narrator_.Say(Sj(kSpeechOnUtf8));
}

void SpokenText::Reset(bool on) {
  spokenChoice_ = -1;
  SetOn(on);
}

void SpokenText::Typed(std::string_view sjis) {
  narrator_.Typed(sjis);
  feed_.Typed(sjis);
}

void SpokenText::LineEnded(bool skipping) {
  narrator_.LineEnded(skipping);
  feed_.LineEnded();
}

void SpokenText::SayBox(std::string_view said, std::string_view shown) {
  narrator_.Say(said);
  feed_.Send(shown);
}

void SpokenText::AnnounceChoice(const ChoiceList& list) {
  spokenChoice_ = -1;
  for (int entry = 0; entry < list.count && entry < kMaxChoices; ++entry) {
    narrator_.Say(list.captions[size_t(entry)].str());
    feed_.Send(list.captions[size_t(entry)].str());
  }
}

void SpokenText::SpeakPointedChoice(const Choices& choices) {
  if (!choices.choiceActive() || !choices.pointerOnChoice()) {
    spokenChoice_ = -1;
    return;
  }
  if (choices.hoveredChoice() != spokenChoice_) SpeakChoice(choices.list(), choices.hoveredChoice());
}

void SpokenText::SpeakChoice(const ChoiceList& list, int entry) {
  spokenChoice_ = entry;
  if (entry >= 0 && entry < list.count && entry < kMaxChoices) narrator_.SayNow(list.captions[size_t(entry)].str());
}

}  // namespace orv
