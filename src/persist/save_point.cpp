// Save points, the scene reset and the clearing of the stage layers.
#include "app/form.h"

namespace orv {

void TForm1::TakeSavePoint(bool setReadPosition) {
  if (setReadPosition) scene.readPosition = scriptOffset;
  scene.textColorAtSavePoint = textColor;
  savePoint = scene;
}

void TForm1::ResetScene() {
  choiceActive = false;
  pictureChoiceActive = false;
  hoveredChoice = 0;
  pointerOnChoice = false;
  scene = SceneState{};
  vars.Clear();
  backgroundPixels.Fill(Rgb{});
  SetEnabled("SKIP", true);
  scene.fontName.Set(Sj("ＭＳ 明朝"));
  scene.waveMode = -1;
  scene.cdMode = -1;
  interactionState = kShown;
  windowEnabled = true;
  menuHidden = 0;
  fullScreen = 1;
}

void TForm1::ClearStage() {
  scene.backgroundColor = 0;
  textImage.Clear();
  tintImage.Fill(Rgb{});
  screenImage.Fill(Rgb{});
  stageImage.Fill(Rgb{});
  savedScreenImage.Fill(Rgb{});
}

}  // namespace orv
