// Spoken text: the player's switch for it (the key V, the menu item, the settings) and the
// moments at which the game's text becomes speech.
#include "app/player.h"
#include "platform/sjis.h"

namespace orv {

namespace {
// Said when the player turns speech on, so that one who cannot see the menu knows it took.
constexpr std::string_view kSpeechOnUtf8 = "読み上げを開始します。";
}  // namespace

void Player::SetSpeechOn(bool on) {
  narrator_.SetOn(on);
  menus_.SetChecked("Speak", on);
}

void Player::ToggleSpeech() {
  SetSpeechOn(!SpeechOn());
  narrator_.ActionBegins();
  narrator_.Say(Sj(kSpeechOnUtf8));
}

void Player::RunStep() {
  inputGate_.StepBegins();
  interpreter_.InterpretStep();
  // What the step drew (text, a choice) is on screen from now: input from before it is stale.
  inputGate_.SettledAt(services_.clock.NowMs());
  // A step may stop in the middle of a line (before a choice, at a lone WAIT): what it typed
  // is said all the same.
  narrator_.LineEnded(SkipMode());
  textFeed_.LineEnded();
  if (choices_.choiceActive()) AnnounceChoice();
}

void Player::LineEnded() {
  narrator_.LineEnded(SkipMode());
  textFeed_.LineEnded();
}

// A new choice: its captions in order, so that a player on the keys knows what there is to
// choose from before moving through it.
void Player::AnnounceChoice() {
  spokenChoice_ = -1;
  for (int entry = 0; entry < choices_.list().count && entry < kMaxChoices; ++entry) {
    narrator_.Say(choices_.list().captions[size_t(entry)].str());
    textFeed_.Send(choices_.list().captions[size_t(entry)].str());
  }
}

void Player::SpeakPointedChoice() {
  if (!choices_.choiceActive() || !choices_.pointerOnChoice()) {
    spokenChoice_ = -1;
    return;
  }
  if (choices_.hoveredChoice() != spokenChoice_) SpeakChoice(choices_.hoveredChoice());
}

void Player::SpeakChoice(int entry) {
  spokenChoice_ = entry;
  if (entry >= 0 && entry < choices_.list().count && entry < kMaxChoices)
    narrator_.SayNow(choices_.list().captions[size_t(entry)].str());
}

}  // namespace orv
