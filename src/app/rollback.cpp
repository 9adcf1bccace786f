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
#include <algorithm>
#include <memory>
#include <vector>

#include "app/player.h"
#include "persist/slot_file.h"

namespace orv {

namespace {

// What a point keeps beside its packed parts: where the interpreter stands, the text of the
// page on show and a waiting choice.
struct RollbackPlace {
  StoryPlace story;
  bool choiceActive = false, pictureChoiceActive = false, pointerOnChoice = false;
  int32_t hoveredChoice = 0;
  bool skipEnabled = true;
  uint32_t randomState = 1;
  // Only while a choice waits (the lists are large and nearly every point has none).
  std::unique_ptr<const ChoiceList> choiceList;
  // Without its backdrop, which is a packed part of the point.
  std::unique_ptr<const PictureChoiceList> pictureList;

  size_t Bytes() const {
    size_t total = sizeof(*this);
    for (const auto* lines : {&story.pageLines, &story.previousPageLines})
      for (const std::string& line : *lines) total += sizeof(std::string) + line.capacity();
    if (choiceList) total += sizeof(ChoiceList);
    if (pictureList) total += sizeof(PictureChoiceList);
    return total;
  }
};

std::span<const uint8_t> Span(const Bytes& bytes) { return {bytes.data(), bytes.size()}; }

}  // namespace

bool Player::RollbackAllowed() const {
  return !closed_ && window_.enabled && menus_.IsEnabled("Save") && menus_.IsEnabled("Load");
}

namespace {

// The text layer kept small: its coverage once per pixel (the layer holds it three times), and
// its colour only where there is coverage (elsewhere it is what earlier text left, unseen).
struct TextLayerBytes {
  std::vector<uint8_t> color, coverage;
};

TextLayerBytes TextForKeeping(const TextLayer& text) {
  const std::span<const uint8_t> color = text.colorBytes(), coverage = text.coverageBytes();
  TextLayerBytes kept{std::vector<uint8_t>(color.size(), 0), std::vector<uint8_t>(coverage.size() / 3)};
  for (size_t pixel = 0; pixel < kept.coverage.size(); ++pixel) {
    const uint8_t c = coverage[pixel * 3];
    kept.coverage[pixel] = c;
    if (c != 0)
      std::copy_n(color.begin() + std::ptrdiff_t(pixel * 3), 3, kept.color.begin() + std::ptrdiff_t(pixel * 3));
  }
  return kept;
}

// The coverage as the layer holds it, from what TextForKeeping kept.
std::vector<uint8_t> CoverageOfLayer(const std::vector<uint8_t>& kept) {
  std::vector<uint8_t> coverage(kept.size() * 3);
  for (size_t pixel = 0; pixel < kept.size(); ++pixel)
    coverage[pixel * 3] = coverage[pixel * 3 + 1] = coverage[pixel * 3 + 2] = kept[pixel];
  return coverage;
}

// What the message text drawn over the tinted stage gives: the screen, nearly always to the
// byte, so the screen is kept as its difference from this.
Image TextOverTint(const Image& tint, const TextLayer& text) {
  Image composed = tint;
  text.DrawOver(composed);
  return composed;
}

std::span<const uint8_t> BytesOf(const std::vector<uint8_t>& bytes) { return bytes; }

}  // namespace

void Player::RecordRollbackPoint() {
  if (!RollbackAllowed() || options_.rollbackPoints == 0) return;
  RollbackPoint point;
  auto keep = [&](RollbackPart part, std::span<const uint8_t> bytes, std::span<const uint8_t> base = {},
                  uint64_t baseKey = 0) -> uint64_t {
    point.parts[size_t(part)] = rollback_.Pack(part, bytes, base, baseKey);
    return point.parts[size_t(part)].key;
  };
  keep(RollbackPart::Scene, SerializeSceneState(scene_));
  keep(RollbackPart::SavePoint, SerializeSceneState(savePoint_));
  keep(RollbackPart::StringVariables, Span(vars_.StringImage()));
  keep(RollbackPart::NumericVariables, Span(vars_.NumericImage()));
  // Each layer against the one it was drawn over: only what was drawn costs memory.
  const uint64_t background = keep(RollbackPart::Background, stage_.backgroundPixels.bytes());
  const uint64_t stageKey =
      keep(RollbackPart::Stage, stage_.stageImage.bytes(), stage_.backgroundPixels.bytes(), background);
  const uint64_t tint = keep(RollbackPart::Tint, stage_.tintImage.bytes(), stage_.stageImage.bytes(), stageKey);
  const TextLayerBytes text = TextForKeeping(stage_.textImage);
  const uint64_t textColor = keep(RollbackPart::TextColor, BytesOf(text.color));
  const uint64_t textCoverage = keep(RollbackPart::TextCoverage, BytesOf(text.coverage));
  const Image composed = TextOverTint(stage_.tintImage, stage_.textImage);
  const uint64_t screen = keep(RollbackPart::Screen, stage_.screenImage.bytes(), composed.bytes(),
                               MixRollbackKeys(MixRollbackKeys(tint, textColor), textCoverage));
  const uint64_t windowKey =
      keep(RollbackPart::Window, stage_.windowSurface.bytes(), stage_.screenImage.bytes(), screen);
  if (choices_.pictureChoiceActive())
    keep(RollbackPart::PictureChoiceBackdrop, choices_.pictureList().backdrop.bytes(), stage_.windowSurface.bytes(),
         windowKey);

  auto place = std::make_shared<RollbackPlace>();
  place->story = interpreter_.Place();
  place->choiceActive = choices_.choiceActive();
  place->pictureChoiceActive = choices_.pictureChoiceActive();
  place->pointerOnChoice = choices_.pointerOnChoice();
  place->hoveredChoice = choices_.hoveredChoice();
  place->skipEnabled = menus_.IsEnabled("SKIP");
  place->randomState = randomState_;
  if (choices_.choiceActive()) place->choiceList = std::make_unique<const ChoiceList>(choices_.list());
  if (choices_.pictureChoiceActive()) {
    auto pictures = std::make_unique<PictureChoiceList>(choices_.pictureList());
    pictures->backdrop = Image();
    place->pictureList = std::move(pictures);
  }
  point.extraBytes = place->Bytes();
  point.extra = std::move(place);
  rollback_.Record(std::move(point));
  onRollbackPoint_ = true;
  ShowRollbackMenu();
}

bool Player::RestoreRollbackPoint(const RollbackPoint& point) {
  const auto* place = static_cast<const RollbackPlace*>(point.extra.get());
  if (place == nullptr) return false;
  // Everything is unpacked before anything changes: a point that cannot be put back whole
  // leaves the game as it is.
  auto unpack = [&](RollbackPart part, std::vector<uint8_t>& out, std::span<const uint8_t> base = {}) {
    const auto& bytes = point.parts[size_t(part)].bytes;
    if (!bytes) return false;
    out.resize(bytes->size());
    return bytes->UnpackInto(out, base);
  };
  auto unpackImage = [&](RollbackPart part, const Image& like, Image& out, std::span<const uint8_t> base) {
    out = Image::ForOverwrite(like.width(), like.height());
    const auto& bytes = point.parts[size_t(part)].bytes;
    return bytes && bytes->UnpackInto(out.bytes(), base);
  };
  std::vector<uint8_t> sceneRecord, savePointRecord, strings, numerics;
  if (!unpack(RollbackPart::Scene, sceneRecord) || !unpack(RollbackPart::SavePoint, savePointRecord) ||
      !unpack(RollbackPart::StringVariables, strings) || !unpack(RollbackPart::NumericVariables, numerics))
    return false;
  Image background, stageImage, tint, screen, surface, backdrop;
  TextLayerBytes textBytes;
  TextLayer text(stage_.textImage.width(), stage_.textImage.height());
  if (!unpackImage(RollbackPart::Background, stage_.backgroundPixels, background, {}) ||
      !unpackImage(RollbackPart::Stage, stage_.stageImage, stageImage, background.bytes()) ||
      !unpackImage(RollbackPart::Tint, stage_.tintImage, tint, stageImage.bytes()) ||
      !unpack(RollbackPart::TextColor, textBytes.color) || !unpack(RollbackPart::TextCoverage, textBytes.coverage))
    return false;
  const std::vector<uint8_t> textCoverage = CoverageOfLayer(textBytes.coverage);
  if (!text.Restore(textBytes.color, textCoverage)) return false;
  if (!unpackImage(RollbackPart::Screen, stage_.screenImage, screen, TextOverTint(tint, text).bytes()) ||
      !unpackImage(RollbackPart::Window, stage_.windowSurface, surface, screen.bytes()))
    return false;
  if (place->pictureChoiceActive &&
      !unpackImage(RollbackPart::PictureChoiceBackdrop, choices_.pictureList().backdrop, backdrop, surface.bytes()))
    return false;

  SceneState restored;
  ReadSceneRecord(sceneRecord, restored);
  // The last step that can fail: until the scenario is open at the point's place, nothing of
  // the running game is given up.
  if (!interpreter_.OpenScenarioAt(restored.scenarioName.str(), place->story.scriptOffset)) return false;

  const SceneState was = scene_;
  scene_ = restored;
  savePoint_ = SceneState();
  ReadSceneRecord(savePointRecord, savePoint_);
  vars_.ReadStringImage(strings);
  vars_.ReadNumericImage(numerics);

  // Into the layers' own storage, which the backends may be holding on to.
  auto copyInto = [](const Image& from, Image& to) { std::copy(from.bytes().begin(), from.bytes().end(), to.bytes().begin()); };
  copyInto(background, stage_.backgroundPixels);
  copyInto(stageImage, stage_.stageImage);
  copyInto(tint, stage_.tintImage);
  copyInto(screen, stage_.screenImage);
  copyInto(surface, stage_.windowSurface);
  stage_.textImage.Restore(textBytes.color, textCoverage);

  interpreter_.ReturnTo(place->story);
  randomState_ = place->randomState;

  choices_.WaitAgain(place->choiceActive, place->pictureChoiceActive, place->hoveredChoice, place->pointerOnChoice);
  if (place->choiceList) choices_.PutBack(*place->choiceList);
  if (place->pictureList) {
    PictureChoiceList pictures = *place->pictureList;
    pictures.backdrop = std::move(backdrop);
    choices_.PutBack(std::move(pictures));
  }
  menus_.SetEnabled("SKIP", place->skipEnabled);

  FollowSound(was);
  if (scene_.windowCaption.str() != was.windowCaption.str()) SetCaption(scene_.windowCaption.str());
  if (scene_.customCursor == 1 && scene_.cursorFile.str() != was.cursorFile.str()) {
    if (const auto cursor = services_.folder.Find(scene_.cursorFile.str())) SetCursorFromFile(*cursor);
  } else if (scene_.customCursor != 1 && was.customCursor == 1) {
    services_.host.ResetCursor();
  }
  SetWaitIndicatorInterval(scene_.nvInterval);
  SetWaitIndicatorTimer(!choices_.choiceActive());
  stage_.PresentWindow();
  onRollbackPoint_ = true;
  return true;
}

// What the restored scene plays keeps playing when it already does; only what changed starts
// again from its beginning, as loading a slot starts it.
void Player::FollowSound(const SceneState& was) {
  const bool sameMusic = was.musicMode == scene_.musicMode && was.musicName.str() == scene_.musicName.str();
  if (!sameMusic) {
    sound_.music().StopPlayback();
    if (scene_.musicMode != 0) {
      sound_.music().SetLoop(scene_.musicMode - 1 != 0);
      sound_.music().LoadSong(sound_.ReadSong(scene_.musicName.str()));
      sound_.music().PlayFromStart();
    }
  }
  const bool sameLoop = was.waveMode == 0 && scene_.waveMode == 0 && was.waveName.str() == scene_.waveName.str();
  if (!sameLoop) {
    // A one-shot effect of the later point is cut off with the line it belonged to.
    sound_.StopWave();
    if (scene_.waveMode == 0) sound_.PlayWave(scene_.waveName.str(), 0);
  }
  const bool sameCd = was.cdMode == scene_.cdMode && was.cdTrack == scene_.cdTrack;
  if (!sameCd) {
    sound_.StopCd();
    if (scene_.cdMode == 1) sound_.PlayCdTrack(scene_.cdTrack);
  }
}

bool Player::StepBack() {
  if (!RollbackAllowed() || input_.interactionState != kShown) return false;
  const RollbackPoint* point = rollback_.StepBack();
  if (point == nullptr) return false;
  autoMode_.Stop();
  input_.skipMode = false;
  ShowSkipMark();
  spokenText_.ActionBegins();
  const bool restored = RestoreRollbackPoint(*point);
  if (!restored) rollback_.Undo(true);
  ShowRollbackMenu();
  return restored;
}

bool Player::StepForward() {
  if (!RollbackAllowed() || input_.interactionState != kShown || !onRollbackPoint_) return false;
  const RollbackPoint* point = rollback_.StepForward();
  if (point == nullptr) return false;
  spokenText_.ActionBegins();
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
    if (!StepForward() && rollback_.ahead() == 0 && input_.interactionState == kShown && !choices_.choiceActive() &&
        !choices_.pictureChoiceActive()) {
      autoMode_.Stop();
      FormKeyDown(KeyPress{KeyCode::Enter});
    }
    return true;
  }
  return false;
}

void Player::ShowRollbackMenu() {
  const bool back = rollback_.position() > 0;
  const bool forward = rollback_.ahead() > 0;
  if (menus_.IsEnabled("StepBack") == back && menus_.IsEnabled("StepForward") == forward) return;
  menus_.SetEnabled("StepBack", back);
  menus_.SetEnabled("StepForward", forward);
}

}  // namespace orv
