// What the choices ask of the player while one is shown (the parts they draw on and read
// from, the window's services), and what the player does with the outcome of a taken entry.
#include "app/player.h"
#include "graphics/picture_cache.h"
#include "platform/sjis.h"

namespace orv {

ChoiceContext Player::ChoiceParts() {
  const Stage::ChoiceCanvas canvas = stage_.CanvasForChoices();
  return ChoiceContext{*this,
                       interpreter_.reader(),
                       scene_,
                       interpreter_.textCursorY(),
                       canvas.window,
                       canvas.screen,
                       canvas.tint,
                       canvas.text,
                       services_.fonts,
                       services_.clock};
}

std::optional<std::string_view> Player::FetchLine() {
  if (!interpreter_.FetchLine()) return std::nullopt;
  return std::string_view(interpreter_.line());
}

bool Player::OfferChoice(bool pictureChoice) {
  StopWaitIndicator();
  ChoiceContext parts = ChoiceParts();
  if (pictureChoice) {
    const bool readOn = choices_.ShowPictureChoice(parts);
    if (choices_.pictureChoiceActive()) skip_.Stop();
    return readOn;
  }
  const bool readOn = choices_.ShowChoice(parts, CaptionTyping{!PageMode(), interpreter_.messageDelayMs()});
  // A choice that waits ends skip mode: skipping must not take an entry for the player.
  if (choices_.choiceActive()) skip_.Stop();
  return readOn;
}

void Player::CarryOutChoice(const std::optional<ChoiceOutcome>& outcome, bool pictureChoice) {
  if (!outcome || !CarryOut(*outcome) || Closed()) return;
  choices_.StopWaiting(pictureChoice);
  menus_.SetEnabled("SKIP", true);
  SetWaitIndicatorTimer(true);
  ChoiceContext parts = ChoiceParts();
  pictureChoice ? choices_.ClosePictureChoice(parts) : choices_.CloseChoice(parts);
  // A new page: the cursor at the text origin, the history's oldest page dropped when full.
  interpreter_.TurnPageAfterChoice(scene_.textX, scene_.textY);
  // A text choice keeps the last save point's read position (a jump has set its own already);
  // a picture choice's save point takes the read position where reading goes on.
  TakeSavePoint(pictureChoice);
  RunStep();
}

bool Player::CarryOut(const ChoiceOutcome& outcome) {
  switch (outcome.kind) {
    case ChoiceOutcome::Kind::GoOn: return true;
    case ChoiceOutcome::Kind::JumpToLabel:
      scene_.readPosition = 0;
      interpreter_.ReadFromTop();
      interpreter_.JumpToLabel(outcome.name);
      if (!Closed()) scene_.readPosition = interpreter_.scriptOffset();
      return true;
    case ChoiceOutcome::Kind::StartScenario:
      // A name the scene record cannot hold whole would make every later save point name
      // another file; it is refused like a file that cannot be loaded.
      if (outcome.name.size() >= decltype(SceneState::scenarioName)::kCapacity) {
        ShowMessage(Utf8ToCp932("シナリオファイルの読みこみに失敗しました。"));
        return true;
      }
      if (!interpreter_.SwitchScenario(outcome.name, scene_.scenarioName.str())) return true;
      scene_.scenarioName.Set(outcome.name);
      scene_.readPosition = 0;
      interpreter_.ReadFromTop();
      return true;
    case ChoiceOutcome::Kind::LoadSlot:
      // Without the slot the choice keeps waiting; a load has reset the scene, and with it the
      // choice, so reading goes on from the slot's position.
      if (!outcome.name.empty() && LoadSlot(outcome.name)) RunStep();
      return false;
  }
  return true;
}

void Player::StopWaitIndicator() {
  SetWaitIndicatorTimer(false);
  ClearWaitIndicator();
}

std::string Player::LoadMenuCaption(int slot) const {
  const MenuItem* item = menus_.model().Find("LoadDat" + std::to_string(slot));
  return item ? item->caption : std::string();
}

PictureLoad Player::LoadPicture(std::string_view name) { return stage_.pictures().Load(name); }

}  // namespace orv
