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
  const Result<void> saved = slotFiles_.Save(slot, services_.clock.LocalNow(), scene_.slotComment.str(), record.scene,
                                             record.strings, record.numeric);
  RefreshSlotCaptions();
  // The kit's save always reported success; a save that did not happen must say so.
  if (!saved) ShowMessage(WriteFailedMessage(saved.error().message));
}

void Player::RefreshSlotCaptions() {
  const auto captions = slotFiles_.Captions();
  for (int n = 0; n < kSlotCount; ++n) {
    const auto& caption = captions[size_t(n)];
    if (!caption) continue;
    for (const std::string& item : {"SaveDat" + std::to_string(n), "LoadDat" + std::to_string(n)})
      if (MenuItem* m = menus_.model().Find(item)) m->caption = *caption;
  }
  menus_.Changed();
}

SceneRecord Player::CaptureScene() const { return SceneRecord{savePoint_, vars_.StringImage(), vars_.NumericImage()}; }

Result<void> Player::RestoreScene(const SceneRecord& record) {
  // The one step that can fail comes first: until the scenario is open at the saved place,
  // nothing of the running game is given up.
  if (Result<void> opened = interpreter_.OpenScenarioAt(record.scene.scenarioName.str(), record.scene.readPosition);
      !opened)
    return opened;
  sound_.StopAll();
  ResetScene();
  scene_ = record.scene;
  vars_.ReadStringImage(record.strings);
  vars_.ReadNumericImage(record.numeric);
  savePoint_ = scene_;
  const ColorRef wipeFrom = scene_.backgroundColor;
  scene_.backgroundColor = 0;  // as clearing the stage leaves it
  stage_.Restore(wipeFrom);
  sound_.ResumeScene();
  if (scene_.customCursor == 1) {
    const auto cursor = services_.folder.Find(scene_.cursorFile.str());
    if (cursor) SetCursorFromFile(*cursor);
  }
  SetWaitIndicatorInterval(scene_.nvInterval);
  SetWaitIndicatorTimer(true);
  interpreter_.ResumeAt(scene_.readPosition, scene_.textX, scene_.textY, scene_.textColorAtSavePoint);
  return {};
}

bool Player::LoadSlot(std::string_view fileName) {
  const auto file = slotFiles_.Read(fileName);
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
  if (!AskYesNo(Sj("タイトルに戻りますか？"), window_.applicationTitle)) return;
  sound_.StopAll();
  Image filled(kStageWidth, kStageHeight);
  filled.Fill(RgbFromColorRef(scene_.backgroundColor));
  stage_.WipeIn(filled);
  ClearStage();
  ResetScene();
  Init();
  TakeStartingSavePoint();
  if (!closed_) FormClick();
}

void Player::SaveScreen() {
  const auto name = services_.host.AskSaveFile(Sj("画面の保存"), Sj("フルカラービットマップファイル（*.bmp）|*.bmp"));
  if (!name) return;
  // The name exactly as entered, no extension added; a relative one lands in the write folder.
  const Result<void> saved =
      writeFolder_.WriteChosen(std::filesystem::path(Cp932ToUtf8(*name)), EncodeBmp24(stage_.WindowPicture()));
  ShowMessage(saved ? Sj("保存完了しました。") : WriteFailedMessage(saved.error().message));
}

void Player::RegRead() {
  const auto file = writeFolder_.ReadPrefix(kSettingsFileName, kSettingsFileBytes);
  if (!file) return;
  const SettingsToApply settings = ReadSettingsFile(*file);
  if (settings.windowTop || settings.windowLeft) {
    int left = 0, top = 0;
    services_.host.GetWindowPosition(left, top);
    services_.host.SetWindowPosition(settings.windowLeft.value_or(left), settings.windowTop.value_or(top));
  }
  if (settings.pageMode) menus_.SetChecked("P1", true);
  if (settings.speedLevel) SetMessageSpeed(*settings.speedLevel);
  if (settings.fullScreen) {
    EnterFullScreen();
    EnterFullScreen();
  }
}

void Player::RegWrite() {
  PlayerSettings settings;
  settings.fullScreen = menus_.IsChecked("FullMode");
  settings.pageMode = menus_.IsChecked("P1");
  services_.host.GetWindowPosition(settings.windowLeft, settings.windowTop);
  settings.messageSpeed = scene_.messageSpeed;
  if (Result<void> saved = writeFolder_.Write(kSettingsFileName, EncodeSettingsFile(settings)); !saved)
    ShowMessage(WriteFailedMessage(saved.error().message));
}

bool Player::SavepointCommand() {
  TakeSavePoint();
  return true;
}

bool Player::EnableMenuCommand(std::string_view menu) {
  menus_.SetEnabled(menu, ReadNumberArgument(context_) != 0);
  return true;
}

}  // namespace orv
