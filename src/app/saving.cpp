// The File menu's saving side: the ten save slots, returning to the title and saving the
// screen; the script's save hooks that need the player (SAVEPOINT, ONSAVE, ONLOAD); and the
// settings file read at start-up and written at close. Every write goes through the write
// folder, which never leaves a half-written file; a write that fails tells the player why.
#include <filesystem>

#include "app/player.h"
#include "logic/inline_forms.h"
#include "logic/save_hooks.h"
#include "persist/settings_file.h"
#include "platform/image_files.h"
#include "platform/sjis.h"

namespace orv {

void Player::SaveSlot(int slot) {
  const SceneRecord record = CaptureScene();
  const OsStatus saved = slotFiles.Save(slot, services.clock.LocalNow(), scene.slotComment.str(), record.scene,
                                        record.strings, record.numeric);
  RefreshSlotCaptions();
  // The kit's save always reported success; a save that did not happen must say so.
  if (!saved) ShowMessage(WriteFailedMessage(saved.error()));
}

void Player::RefreshSlotCaptions() {
  const auto captions = slotFiles.Captions();
  for (int n = 0; n < kSlotCount; ++n) {
    const auto& caption = captions[size_t(n)];
    if (!caption) continue;
    for (const std::string& item : {"SaveDat" + std::to_string(n), "LoadDat" + std::to_string(n)})
      if (MenuItem* m = menus.model().Find(item)) m->caption = *caption;
  }
  menus.Changed();
}

SceneRecord Player::CaptureScene() const { return SceneRecord{savePoint, vars.StringImage(), vars.NumericImage()}; }

Result<void> Player::RestoreScene(const SceneRecord& record) {
  // The one step that can fail comes first: until the scenario is open at the saved place,
  // nothing of the running game is given up.
  if (Result<void> opened = interpreter.OpenScenarioAt(record.scene.scenarioName.str(), record.scene.readPosition);
      !opened)
    return opened;
  sound.StopAll();
  ResetScene();
  scene = record.scene;
  vars.ReadStringImage(record.strings);
  vars.ReadNumericImage(record.numeric);
  savePoint = scene;
  const ColorRef wipeFrom = scene.backgroundColor;
  scene.backgroundColor = 0;  // as clearing the stage leaves it
  stage.Restore(wipeFrom);
  sound.ResumeScene();
  if (scene.customCursor == 1) {
    const auto cursor = services.folder.Find(scene.cursorFile.str());
    if (cursor) SetCursorFromFile(*cursor);
  }
  SetWaitIndicatorInterval(scene.nvInterval);
  SetWaitIndicatorTimer(true);
  interpreter.ResumeAt(scene.readPosition, scene.textX, scene.textY, scene.textColorAtSavePoint);
  return {};
}

bool Player::LoadSlot(std::string_view fileName) {
  const auto file = slotFiles.Read(fileName);
  if (!file) return false;
  VariableStore blank;
  const SceneRecord record =
      SceneRecordFromSlotFile(*file, SceneRecord{ResetSceneState(), blank.StringImage(), blank.NumericImage()});
  if (!RestoreScene(record)) {
    // The player hears that the slot is broken, not that the game's own scenario failed: the
    // game goes on untouched.
    ShowMessage(Sj("セーブデータが壊れているため、ロードできません。"));
    return false;
  }
  return true;
}

void Player::LoadSlotAndGoOn(int slot) {
  if (LoadSlot(SlotLoadName(slot))) FormClick();
}

void Player::ReturnToTitle() {
  if (!AskYesNo(Sj("タイトルに戻りますか？"), window.applicationTitle)) return;
  sound.StopAll();
  Image filled(kStageWidth, kStageHeight);
  filled.Fill(RgbFromColorRef(scene.backgroundColor));
  stage.WipeIn(filled);
  ClearStage();
  ResetScene();
  Init();
  TakeStartingSavePoint();
  if (!closed_) FormClick();
}

void Player::SaveScreen() {
  const auto name =
      services.host.AskSaveFile(Sj("画面の保存"), Sj("フルカラービットマップファイル（*.bmp）|*.bmp"));
  if (!name) return;
  // The name exactly as entered, no extension added; a relative one lands in the write folder.
  const OsStatus saved =
      writeFolder.WriteChosen(std::filesystem::path(Cp932ToUtf8(*name)), EncodeBmp24(stage.windowSurface));
  ShowMessage(saved ? Sj("保存完了しました。") : WriteFailedMessage(saved.error()));
}

void Player::RegRead() {
  const auto file = writeFolder.ReadPrefix(kSettingsFileName, kSettingsFileBytes);
  if (!file) return;
  const SettingsToApply settings = ReadSettingsFile(*file);
  if (settings.windowTop || settings.windowLeft) {
    int left = 0, top = 0;
    services.host.GetWindowPosition(left, top);
    services.host.SetWindowPosition(settings.windowLeft.value_or(left), settings.windowTop.value_or(top));
  }
  if (settings.pageMode) menus.SetChecked("P1", true);
  if (settings.speedLevel) SetMessageSpeed(*settings.speedLevel);
  if (settings.fullScreen) {
    EnterFullScreen();
    EnterFullScreen();
  }
}

void Player::RegWrite() {
  PlayerSettings settings;
  settings.fullScreen = menus.IsChecked("FullMode");
  settings.pageMode = menus.IsChecked("P1");
  services.host.GetWindowPosition(settings.windowLeft, settings.windowTop);
  settings.messageSpeed = scene.messageSpeed;
  if (OsStatus saved = writeFolder.Write(kSettingsFileName, EncodeSettingsFile(settings)); !saved)
    ShowMessage(WriteFailedMessage(saved.error()));
}

bool Player::SavepointCommand() {
  TakeSavePoint();
  return true;
}

bool Player::EnableMenuCommand(std::string_view menu) {
  menus.SetEnabled(menu, ReadNumberArgument(context_) != 0);
  return true;
}

}  // namespace orv
