// What the choices ask of the player: the parts they draw on and read from, and the few
// actions of the window, the menus and the saves.
#include "app/player.h"
#include "graphics/picture_cache.h"

namespace orv {

ChoiceContext Player::ChoiceParts() {
  return ChoiceContext{*this,
                       interpreter.reader,
                       scene,
                       interpreter.scriptOffset,
                       interpreter.textCursorX,
                       interpreter.textCursorY,
                       interpreter.pageEnded,
                       interpreter.pageIndex,
                       interpreter.history,
                       input.skipMode,
                       input.choiceActive,
                       input.pictureChoiceActive,
                       input.hoveredChoice,
                       input.pointerOnChoice,
                       stage.windowSurface,
                       stage.screenImage,
                       stage.tintImage,
                       stage.textImage,
                       services.fonts,
                       services.clock};
}

bool Player::SwitchScenario(std::string_view name) {
  return interpreter.SwitchScenario(name, scene.scenarioName.str());
}

void Player::StopWaitIndicator() {
  SetWaitIndicatorTimer(false);
  ClearWaitIndicator();
}

std::string Player::LoadMenuCaption(int slot) const {
  const MenuItem* item = menus.model().Find("LoadDat" + std::to_string(slot));
  return item ? item->caption : std::string();
}

bool Player::LoadSlotFile(std::string_view) {
  // Save slots arrive with their own feature; until then no slot has a file, and a choice
  // that asks for one stays waiting.
  return false;
}

PictureLoad Player::LoadPicture(std::string_view name) { return stage.pictures().Load(name); }

}  // namespace orv
