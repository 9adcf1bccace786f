// The File menu's saving side: the ten save slots, returning to the title and saving the
// screen; the script's save hooks that need the player (SAVEPOINT, ONSAVE, ONLOAD); and the
// settings file read at start-up and written at close. Every write goes through the write
// folder, which never leaves a half-written file; a write that fails tells the player why.
#include <filesystem>

#include "app/player.h"
#include "logic/inline_forms.h"
#include "logic/save_hooks.h"
#include "persist/settings_file.h"
#include "persist/stage_wipe.h"
#include "platform/image_files.h"
#include "platform/sjis.h"

namespace orv {

namespace {

Image Filled(ColorRef color) {
  Image picture(kStageWidth, kStageHeight);
  picture.Fill(RgbFromColorRef(color));
  return picture;
}

}  // namespace

void Player::WipeScreen(const Image& source) {
  orv::StageWipe(stage.screenImage, source, [this] { stage.RepaintScreen(); });
}

void Player::SaveSlot(int slot) {
  const Result<void> saved = slotFiles.Save(slot, services.clock.LocalNow(), scene.slotComment.str(), savePoint,
                                            vars.StringImage(), vars.NumericImage());
  RefreshSlotCaptions();
  // The kit's save always reported success; a save that did not happen must say so.
  if (!saved) ShowMessage(WriteFailedMessage(saved.error().message));
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

bool Player::LoadSlot(std::string_view fileName) {
  const auto file = slotFiles.Read(fileName);
  if (!file) return false;
  const SlotFileParts parts = SplitSlotFile(*file);

  // What the slot names must exist before anything of the running game is given up: a slot
  // whose scenario is gone, or whose read position lies outside it, keeps the game as it is.
  SceneState saved;
  ReadSceneRecord(parts.scene, saved);
  // Either way the player hears that the slot is broken, not that the game's own scenario
  // failed: the game goes on untouched.
  const std::string brokenSlot = Sj("セーブデータが壊れているため、ロードできません。");
  std::string previousScenario = interpreter.scenario.ScenarioBuffer();
  if (!interpreter.TrySwitchScenario(saved.scenarioName.str(), saved.scenarioName.str())) {
    ShowMessage(brokenSlot);
    return false;
  }
  if (saved.readPosition < 0 || size_t(saved.readPosition) > interpreter.scenario.ScenarioBuffer().size()) {
    // No jump has indexed the slot's text, so the labels are indexed anew for the old one.
    interpreter.scenario.SetBuffer(std::move(previousScenario));
    ShowMessage(brokenSlot);
    return false;
  }

  sound.StopWave();
  sound.music().StopPlayback();
  sound.StopCd();
  ResetScene();
  // A short file leaves what it does not hold as the reset left it, byte for byte.
  ReadSceneRecord(parts.scene, scene);
  vars.ReadStringImage(OverlayPrefix(vars.StringImage(), parts.strings));
  vars.ReadNumericImage(OverlayPrefix(vars.NumericImage(), parts.numeric));
  savePoint = scene;
  const int32_t readPosition = scene.readPosition;

  WipeScreen(Filled(scene.backgroundColor));
  ClearStage();
  stage.LoadBackground();
  stage.ComposeStage(false);
  WipeScreen(stage.stageImage);
  stage.TintMessageBox(scene.boxAlpha, scene.boxRed, scene.boxGreen, scene.boxBlue);
  interpreter.textColor = scene.textColorAtSavePoint;
  if (scene.musicMode != 0) {
    sound.music().SetLoop(scene.musicMode - 1 != 0);
    sound.music().LoadSong(sound.ReadSong(scene.musicName.str()));
    sound.music().PlayFromStart();
  }
  if (scene.waveMode == 0) sound.PlayWave(scene.waveName.str(), 0);
  if (scene.cdMode == 1) sound.PlayCdTrack(scene.cdTrack);
  if (scene.customCursor == 1) {
    const auto cursor = services.folder.Find(scene.cursorFile.str());
    if (cursor) SetCursorFromFile(*cursor);
  }
  interpreter.textCursorX = scene.textX;
  interpreter.textCursorY = scene.textY;
  SetWaitIndicatorInterval(scene.nvInterval);
  SetWaitIndicatorTimer(true);
  // The saved scenario is in the buffer already: it was loaded first, to check it exists.
  scene.readPosition = readPosition;
  interpreter.scriptOffset = readPosition;
  return true;
}

void Player::LoadSlotAndGoOn(int slot) {
  if (LoadSlot(SlotLoadName(slot))) FormClick();
}

void Player::ReturnToTitle() {
  if (!AskYesNo(Sj("タイトルに戻りますか？"), window.applicationTitle)) return;
  sound.StopWave();
  sound.music().StopPlayback();
  sound.StopCd();
  WipeScreen(Filled(scene.backgroundColor));
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
  const Result<void> saved =
      writeFolder.WriteChosen(std::filesystem::path(Cp932ToUtf8(*name)), EncodeBmp24(stage.windowSurface));
  ShowMessage(saved ? Sj("保存完了しました。") : WriteFailedMessage(saved.error().message));
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
  if (Result<void> saved = writeFolder.Write(kSettingsFileName, EncodeSettingsFile(settings)); !saved)
    ShowMessage(WriteFailedMessage(saved.error().message));
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
