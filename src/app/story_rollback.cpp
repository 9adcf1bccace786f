// How a point is taken from the parts and put back into them: each layer packed against the
// one it was drawn over, and nothing changed until the whole point has been unpacked.
#include <algorithm>
#include <memory>
#include <vector>

#include "app/story_rollback.h"
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

void StoryRollback::Keep() {
  if (maxPoints_ == 0) return;
  RollbackPoint point;
  auto keep = [&](RollbackPart part, std::span<const uint8_t> bytes, std::span<const uint8_t> base = {},
                  uint64_t baseKey = 0) -> uint64_t {
    point.parts[size_t(part)] = ring_.Pack(part, bytes, base, baseKey);
    return point.parts[size_t(part)].key;
  };
  keep(RollbackPart::Scene, SerializeSceneState(p_.scene));
  keep(RollbackPart::SavePoint, SerializeSceneState(p_.savePoint));
  keep(RollbackPart::StringVariables, Span(p_.vars.StringImage()));
  keep(RollbackPart::NumericVariables, Span(p_.vars.NumericImage()));
  // Each layer against the one it was drawn over: only what was drawn costs memory.
  const uint64_t background = keep(RollbackPart::Background, p_.stage.BackgroundLayer().bytes());
  const uint64_t stageKey =
      keep(RollbackPart::Stage, p_.stage.StageLayer().bytes(), p_.stage.BackgroundLayer().bytes(), background);
  const uint64_t tint = keep(RollbackPart::Tint, p_.stage.TintLayer().bytes(), p_.stage.StageLayer().bytes(), stageKey);
  const TextLayerBytes text = TextForKeeping(p_.stage.TextOnScreen());
  const uint64_t textColor = keep(RollbackPart::TextColor, BytesOf(text.color));
  const uint64_t textCoverage = keep(RollbackPart::TextCoverage, BytesOf(text.coverage));
  const Image composed = TextOverTint(p_.stage.TintLayer(), p_.stage.TextOnScreen());
  const uint64_t screen = keep(RollbackPart::Screen, p_.stage.ScreenLayer().bytes(), composed.bytes(),
                               MixRollbackKeys(MixRollbackKeys(tint, textColor), textCoverage));
  const uint64_t windowKey =
      keep(RollbackPart::Window, p_.stage.WindowPicture().bytes(), p_.stage.ScreenLayer().bytes(), screen);
  if (p_.choices.pictureChoiceActive())
    keep(RollbackPart::PictureChoiceBackdrop, p_.choices.pictureList().backdrop.bytes(), p_.stage.WindowPicture().bytes(),
         windowKey);

  auto place = std::make_shared<RollbackPlace>();
  place->story = p_.interpreter.Place();
  place->choiceActive = p_.choices.choiceActive();
  place->pictureChoiceActive = p_.choices.pictureChoiceActive();
  place->pointerOnChoice = p_.choices.pointerOnChoice();
  place->hoveredChoice = p_.choices.hoveredChoice();
  place->skipEnabled = p_.menus.IsEnabled("SKIP");
  place->randomState = p_.randomState;
  if (p_.choices.choiceActive()) place->choiceList = std::make_unique<const ChoiceList>(p_.choices.list());
  if (p_.choices.pictureChoiceActive()) {
    auto pictures = std::make_unique<PictureChoiceList>(p_.choices.pictureList());
    pictures->backdrop = Image();
    place->pictureList = std::move(pictures);
  }
  point.extraBytes = place->Bytes();
  point.extra = std::move(place);
  ring_.Record(std::move(point));
  onPoint_ = true;
  ShowMenu();
}

bool StoryRollback::Restore(const RollbackPoint& point) {
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
  TextLayer text(p_.stage.TextOnScreen().width(), p_.stage.TextOnScreen().height());
  if (!unpackImage(RollbackPart::Background, p_.stage.BackgroundLayer(), background, {}) ||
      !unpackImage(RollbackPart::Stage, p_.stage.StageLayer(), stageImage, background.bytes()) ||
      !unpackImage(RollbackPart::Tint, p_.stage.TintLayer(), tint, stageImage.bytes()) ||
      !unpack(RollbackPart::TextColor, textBytes.color) || !unpack(RollbackPart::TextCoverage, textBytes.coverage))
    return false;
  const std::vector<uint8_t> textCoverage = CoverageOfLayer(textBytes.coverage);
  if (!text.Restore(textBytes.color, textCoverage)) return false;
  if (!unpackImage(RollbackPart::Screen, p_.stage.ScreenLayer(), screen, TextOverTint(tint, text).bytes()) ||
      !unpackImage(RollbackPart::Window, p_.stage.WindowPicture(), surface, screen.bytes()))
    return false;
  if (place->pictureChoiceActive &&
      !unpackImage(RollbackPart::PictureChoiceBackdrop, p_.choices.pictureList().backdrop, backdrop, surface.bytes()))
    return false;

  SceneState restored;
  ReadSceneRecord(sceneRecord, restored);
  // The last step that can fail: until the scenario is open at the point's place, nothing of
  // the running game is given up.
  if (!p_.interpreter.OpenScenarioAt(restored.scenarioName.str(), place->story.scriptOffset)) return false;

  const SceneState was = p_.scene;
  p_.scene = restored;
  p_.savePoint = SceneState();
  ReadSceneRecord(savePointRecord, p_.savePoint);
  p_.vars.ReadStringImage(strings);
  p_.vars.ReadNumericImage(numerics);

  // Each was unpacked to the size of the layer it replaces, so the stage takes them all.
  p_.stage.PutBackLayers(background, stageImage, tint, screen, surface, text);

  p_.interpreter.ReturnTo(place->story);
  p_.randomState = place->randomState;

  p_.choices.WaitAgain(place->choiceActive, place->pictureChoiceActive, place->hoveredChoice, place->pointerOnChoice);
  if (place->choiceList) p_.choices.PutBack(*place->choiceList);
  if (place->pictureList) {
    PictureChoiceList pictures = *place->pictureList;
    pictures.backdrop = std::move(backdrop);
    p_.choices.PutBack(std::move(pictures));
  }
  p_.menus.SetEnabled("SKIP", place->skipEnabled);

  FollowSound(was);
  if (p_.scene.windowCaption.str() != was.windowCaption.str()) p_.player.SetCaption(p_.scene.windowCaption.str());
  if (p_.scene.customCursor == 1 && p_.scene.cursorFile.str() != was.cursorFile.str()) {
    if (const auto cursor = p_.folder.Find(p_.scene.cursorFile.str())) p_.player.SetCursorFromFile(*cursor);
  } else if (p_.scene.customCursor != 1 && was.customCursor == 1) {
    p_.host.ResetCursor();
  }
  p_.player.SetWaitIndicatorInterval(p_.scene.nvInterval);
  p_.player.SetWaitIndicatorTimer(!p_.choices.choiceActive());
  p_.stage.PresentWindow();
  onPoint_ = true;
  return true;
}

// What the restored scene plays keeps playing when it already does; only what changed starts
// again from its beginning, as loading a slot starts it.
void StoryRollback::FollowSound(const SceneState& was) {
  const bool sameMusic = was.musicMode == p_.scene.musicMode && was.musicName.str() == p_.scene.musicName.str();
  if (!sameMusic) {
    p_.sound.music().StopPlayback();
    if (p_.scene.musicMode != 0) {
      p_.sound.music().SetLoop(p_.scene.musicMode - 1 != 0);
      p_.sound.music().LoadSong(p_.sound.ReadSong(p_.scene.musicName.str()));
      p_.sound.music().PlayFromStart();
    }
  }
  const bool sameLoop = was.waveMode == 0 && p_.scene.waveMode == 0 && was.waveName.str() == p_.scene.waveName.str();
  if (!sameLoop) {
    // A one-shot effect of the later point is cut off with the line it belonged to.
    p_.sound.StopWave();
    if (p_.scene.waveMode == 0) p_.sound.PlayWave(p_.scene.waveName.str(), 0);
  }
  const bool sameCd = was.cdMode == p_.scene.cdMode && was.cdTrack == p_.scene.cdTrack;
  if (!sameCd) {
    p_.sound.StopCd();
    if (p_.scene.cdMode == 1) p_.sound.PlayCdTrack(p_.scene.cdTrack);
  }
}

bool StoryRollback::Back() {
  const RollbackPoint* point = ring_.StepBack();
  if (point == nullptr) return false;
  const bool restored = Restore(*point);
  if (!restored) ring_.Undo(true);
  ShowMenu();
  return restored;
}

bool StoryRollback::Forward() {
  const RollbackPoint* point = ring_.StepForward();
  if (point == nullptr) return false;
  const bool restored = Restore(*point);
  if (!restored) ring_.Undo(false);
  ShowMenu();
  return restored;
}

void StoryRollback::ShowMenu() {
  const bool back = ring_.position() > 0;
  const bool forward = ring_.ahead() > 0;
  if (p_.menus.IsEnabled("StepBack") == back && p_.menus.IsEnabled("StepForward") == forward) return;
  p_.menus.SetEnabled("StepBack", back);
  p_.menus.SetEnabled("StepForward", forward);
}

}  // namespace orv
