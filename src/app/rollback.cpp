// Stepping back through the story: after each advance the player keeps the story as it stands
// (what a save slot would hold, plus the stage's layers and the page's text) in the rollback
// ring; Backspace, PageUp or the menu put an earlier point back, and Enter, PageDown or a click
// go forward again through the points kept, without running the script a second time. Taking
// another choice at an earlier point runs the story on from there, and the points that were
// ahead are forgotten.
//
// Only this run's memory goes back: files the game wrote (slots, variable files) stay as they
// are. A game that turns saving or loading off has its reasons (a scene that must not be left
// half way), so stepping back is off then too, and nothing is kept meanwhile.
#include <vector>

#include "app/player.h"
#include "persist/slot_file.h"

namespace orv {

namespace {

// What a point keeps beside its packed parts: where the interpreter stands, the text of the
// page on show and a waiting choice.
struct RollbackPlace {
  int32_t scriptOffset = 0;
  int32_t pageIndex = 0;
  int32_t textCursorX = 0, textCursorY = 0;
  bool pageEnded = false;
  uint32_t textColor = 0;
  int32_t messageDelayMs = 0;
  // Lines 0..lineCount of page pageIndex and of the page before it, which the page end that
  // led here finished.
  std::vector<std::string> pageLines, previousPageLines;
  bool choiceActive = false, pictureChoiceActive = false, pointerOnChoice = false;
  int32_t hoveredChoice = 0;
  bool skipEnabled = true;
  uint32_t randomState = 1;
  std::optional<ChoiceList> choiceList;
  // Without its backdrop, which is a packed part of the point.
  std::optional<PictureChoiceList> pictureList;

  size_t Bytes() const {
    size_t total = sizeof(*this);
    for (const auto* lines : {&pageLines, &previousPageLines})
      for (const std::string& line : *lines) total += sizeof(std::string) + line.capacity();
    if (pictureList) total += pictureList->backdrop.bytes().size();
    return total;
  }
};

std::span<const uint8_t> Span(const Bytes& bytes) { return {bytes.data(), bytes.size()}; }

}  // namespace

bool Player::RollbackAllowed() const {
  return !closed_ && window.enabled && menus.IsEnabled("Save") && menus.IsEnabled("Load");
}

namespace {

// The live bytes of each packed part that shows pixels, as the stage holds them.
std::span<const uint8_t> LayerBytes(const Stage& stage, const Choices& choices, RollbackPart part) {
  switch (part) {
    case RollbackPart::Background: return stage.backgroundPixels.bytes();
    case RollbackPart::Stage: return stage.stageImage.bytes();
    case RollbackPart::Tint: return stage.tintImage.bytes();
    case RollbackPart::Screen: return stage.screenImage.bytes();
    case RollbackPart::Window: return stage.windowSurface.bytes();
    case RollbackPart::TextColor: return stage.textImage.colorBytes();
    case RollbackPart::TextCoverage: return stage.textImage.coverageBytes();
    case RollbackPart::PictureChoiceBackdrop: return choices.pictureList.backdrop.bytes();
    default: return {};
  }
}

}  // namespace

void Player::RecordRollbackPoint() {
  if (!RollbackAllowed()) return;
  RollbackPoint point;
  auto keep = [&](RollbackPart part, std::span<const uint8_t> bytes) {
    const RollbackPart basePart = RollbackBase(part);
    if (basePart == part) {
      point.parts[size_t(part)] = rollback_.Pack(part, bytes);
    } else {
      point.parts[size_t(part)] =
          rollback_.Pack(part, bytes, LayerBytes(stage, choices, basePart), point.parts[size_t(basePart)].key);
    }
  };
  const auto sceneRecord = SerializeSceneState(scene);
  const auto savePointRecord = SerializeSceneState(savePoint);
  keep(RollbackPart::Scene, sceneRecord);
  keep(RollbackPart::SavePoint, savePointRecord);
  keep(RollbackPart::StringVariables, Span(vars.StringImage()));
  keep(RollbackPart::NumericVariables, Span(vars.NumericImage()));
  // Bases before what is packed against them.
  for (RollbackPart part : {RollbackPart::Background, RollbackPart::Stage, RollbackPart::Tint, RollbackPart::Screen,
                            RollbackPart::Window, RollbackPart::TextColor, RollbackPart::TextCoverage})
    keep(part, LayerBytes(stage, choices, part));
  if (input.pictureChoiceActive)
    keep(RollbackPart::PictureChoiceBackdrop, LayerBytes(stage, choices, RollbackPart::PictureChoiceBackdrop));

  auto place = std::make_shared<RollbackPlace>();
  place->scriptOffset = interpreter.scriptOffset;
  place->pageIndex = interpreter.pageIndex;
  place->textCursorX = interpreter.textCursorX;
  place->textCursorY = interpreter.textCursorY;
  place->pageEnded = interpreter.pageEnded;
  place->textColor = interpreter.textColor;
  place->messageDelayMs = interpreter.messageDelayMs;
  auto linesOf = [this](int pageIndex, std::vector<std::string>& lines) {
    const MessageHistory::Page page = interpreter.history.page(pageIndex);
    for (int line = 0; line <= page.lineCount(); ++line) lines.push_back(page.line(line));
  };
  linesOf(interpreter.pageIndex, place->pageLines);
  if (interpreter.pageIndex > 0) linesOf(interpreter.pageIndex - 1, place->previousPageLines);
  place->choiceActive = input.choiceActive;
  place->pictureChoiceActive = input.pictureChoiceActive;
  place->pointerOnChoice = input.pointerOnChoice;
  place->hoveredChoice = input.hoveredChoice;
  place->skipEnabled = menus.IsEnabled("SKIP");
  place->randomState = randomState;
  if (input.choiceActive) place->choiceList = choices.list;
  if (input.pictureChoiceActive) {
    place->pictureList = choices.pictureList;
    place->pictureList->backdrop = Image();
  }
  point.extraBytes = place->Bytes();
  point.extra = std::move(place);
  rollback_.Record(std::move(point));
  ShowRollbackMenu();
}

bool Player::RestoreRollbackPoint(const RollbackPoint& point) {
  const auto* place = static_cast<const RollbackPlace*>(point.extra.get());
  if (place == nullptr) return false;
  // Everything is unpacked before anything changes: a point that cannot be put back whole
  // leaves the game as it is.
  std::array<std::vector<uint8_t>, kRollbackPartCount> unpacked;
  for (size_t i = 0; i < kRollbackPartCount; ++i) {
    const PackedPart& part = point.parts[i];
    if (!part.bytes) continue;
    const RollbackPart basePart = RollbackBase(RollbackPart(i));
    std::span<const uint8_t> base;
    if (size_t(basePart) != i) base = unpacked[size_t(basePart)];
    unpacked[i].resize(part.bytes->size());
    if (!part.bytes->UnpackInto(unpacked[i], base)) return false;
  }
  auto fits = [&](RollbackPart part, std::span<const uint8_t> live) {
    return unpacked[size_t(part)].size() == live.size();
  };
  for (RollbackPart part : {RollbackPart::Background, RollbackPart::Stage, RollbackPart::Tint, RollbackPart::Screen,
                            RollbackPart::Window, RollbackPart::TextColor, RollbackPart::TextCoverage})
    if (!fits(part, LayerBytes(stage, choices, part))) return false;
  if (place->pictureChoiceActive &&
      !fits(RollbackPart::PictureChoiceBackdrop, LayerBytes(stage, choices, RollbackPart::PictureChoiceBackdrop)))
    return false;

  SceneState restored;
  ReadSceneRecord(unpacked[size_t(RollbackPart::Scene)], restored);
  if (restored.scenarioName.str() != scene.scenarioName.str() &&
      !interpreter.TrySwitchScenario(restored.scenarioName.str(), restored.scenarioName.str()))
    return false;
  if (place->scriptOffset < 0 || size_t(place->scriptOffset) > interpreter.scenario.ScenarioBuffer().size())
    return false;

  const SceneState was = scene;
  scene = restored;
  savePoint = SceneState();
  ReadSceneRecord(unpacked[size_t(RollbackPart::SavePoint)], savePoint);
  vars.ReadStringImage(unpacked[size_t(RollbackPart::StringVariables)]);
  vars.ReadNumericImage(unpacked[size_t(RollbackPart::NumericVariables)]);

  auto copyInto = [&](RollbackPart part, Image& image) {
    const std::vector<uint8_t>& bytes = unpacked[size_t(part)];
    std::copy(bytes.begin(), bytes.end(), image.bytes().begin());
  };
  copyInto(RollbackPart::Background, stage.backgroundPixels);
  copyInto(RollbackPart::Stage, stage.stageImage);
  copyInto(RollbackPart::Tint, stage.tintImage);
  copyInto(RollbackPart::Screen, stage.screenImage);
  copyInto(RollbackPart::Window, stage.windowSurface);
  stage.textImage.Restore(unpacked[size_t(RollbackPart::TextColor)], unpacked[size_t(RollbackPart::TextCoverage)]);

  interpreter.scriptOffset = place->scriptOffset;
  interpreter.pageIndex = place->pageIndex;
  interpreter.textCursorX = place->textCursorX;
  interpreter.textCursorY = place->textCursorY;
  interpreter.pageEnded = place->pageEnded;
  interpreter.textColor = place->textColor;
  interpreter.messageDelayMs = place->messageDelayMs;
  if (place->pageIndex > 0) interpreter.history.RewindTo(place->pageIndex - 1, place->previousPageLines);
  interpreter.history.RewindTo(place->pageIndex, place->pageLines);
  randomState = place->randomState;

  input.choiceActive = place->choiceActive;
  input.pictureChoiceActive = place->pictureChoiceActive;
  input.pointerOnChoice = place->pointerOnChoice;
  input.hoveredChoice = place->hoveredChoice;
  if (place->choiceList) choices.list = *place->choiceList;
  if (place->pictureList) {
    Image backdrop = std::move(choices.pictureList.backdrop);
    choices.pictureList = *place->pictureList;
    choices.pictureList.backdrop = std::move(backdrop);
    copyInto(RollbackPart::PictureChoiceBackdrop, choices.pictureList.backdrop);
  }
  menus.SetEnabled("SKIP", place->skipEnabled);

  FollowSound(was);
  if (scene.windowCaption.str() != was.windowCaption.str()) SetCaption(scene.windowCaption.str());
  if (scene.customCursor == 1 && scene.cursorFile.str() != was.cursorFile.str()) {
    if (const auto cursor = services.folder.Find(scene.cursorFile.str())) SetCursorFromFile(*cursor);
  } else if (scene.customCursor != 1 && was.customCursor == 1) {
    services.host.ResetCursor();
  }
  SetWaitIndicatorInterval(scene.nvInterval);
  SetWaitIndicatorTimer(!input.choiceActive);
  stage.PresentWindow();
  return true;
}

// What the restored scene plays keeps playing when it already does; only what changed starts
// again from its beginning, as loading a slot starts it.
void Player::FollowSound(const SceneState& was) {
  const bool sameMusic = was.musicMode == scene.musicMode && was.musicName.str() == scene.musicName.str();
  if (!sameMusic) {
    sound.music().StopPlayback();
    if (scene.musicMode != 0) {
      sound.music().SetLoop(scene.musicMode - 1 != 0);
      sound.music().LoadSong(sound.ReadSong(scene.musicName.str()));
      sound.music().PlayFromStart();
    }
  }
  const bool sameLoop = was.waveMode == 0 && scene.waveMode == 0 && was.waveName.str() == scene.waveName.str();
  if (!sameLoop) {
    // A one-shot effect of the later point is cut off with the line it belonged to.
    sound.StopWave();
    if (scene.waveMode == 0) sound.PlayWave(scene.waveName.str(), 0);
  }
  const bool sameCd = was.cdMode == scene.cdMode && was.cdTrack == scene.cdTrack;
  if (!sameCd) {
    sound.StopCd();
    if (scene.cdMode == 1) sound.PlayCdTrack(scene.cdTrack);
  }
}

bool Player::StepBack() {
  if (!RollbackAllowed() || input.interactionState != kShown) return false;
  const RollbackPoint* point = rollback_.StepBack();
  if (point == nullptr) return false;
  StopAutoMode();
  input.skipMode = false;
  ShowSkipMark();
  narrator.ActionBegins();
  const bool restored = RestoreRollbackPoint(*point);
  if (!restored) rollback_.Undo(true);
  ShowRollbackMenu();
  return restored;
}

bool Player::StepForward() {
  if (!RollbackAllowed() || input.interactionState != kShown) return false;
  const RollbackPoint* point = rollback_.StepForward();
  if (point == nullptr) return false;
  narrator.ActionBegins();
  const bool restored = RestoreRollbackPoint(*point);
  if (!restored) rollback_.Undo(false);
  ShowRollbackMenu();
  return restored;
}

bool Player::RollbackKey(KeyPress key) {
  if (key.code == KeyCode::Backspace || key.code == KeyCode::PageUp) {
    StepBack();
    return true;
  }
  if (key.code == KeyCode::PageDown) {
    // Along the path kept, else on with the story; a waiting choice is the player's to take.
    if (!StepForward() && rollback_.ahead() == 0 && input.interactionState == kShown && !input.choiceActive &&
        !input.pictureChoiceActive) {
      StopAutoMode();
      FormKeyDown(KeyPress{KeyCode::Enter});
    }
    return true;
  }
  return false;
}

void Player::ShowRollbackMenu() {
  const bool back = rollback_.position() > 0;
  const bool forward = rollback_.ahead() > 0;
  if (menus.IsEnabled("StepBack") == back && menus.IsEnabled("StepForward") == forward) return;
  menus.SetEnabled("StepBack", back);
  menus.SetEnabled("StepForward", forward);
}

}  // namespace orv
