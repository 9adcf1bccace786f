// What both kinds of choice share: the reset, the routing of pointer movements, carrying out
// a target, and the steps of reading a block.
#include "choice/choices.h"

#include <string>

#include "choice/choice_steps.h"
#include "choice/choice_target.h"
#include "platform/sjis.h"

namespace orv {

namespace {
// Far beyond any picture side, far below the limits of int.
constexpr int64_t kDrawingRange = int64_t(1) << 24;
}  // namespace

void Choices::Reset() {
  list = ChoiceList();
  pictureList.Clear();
  reportedPictures_.clear();
}

bool FetchBlockLine(ChoiceContext& c) {
  const bool fetched = c.story.FetchLine();
  c.reader.SetSource(fetched ? std::string_view(c.story.LineBuffer()) : std::string_view());
  return fetched;
}

bool LineBegins(const ChoiceContext& c, char first) {
  const std::string& line = c.story.LineBuffer();
  return !line.empty() && line[0] == first;
}

bool WithinDrawingRange(int64_t x, int64_t y) {
  return x > -kDrawingRange && x < kDrawingRange && y > -kDrawingRange && y < kDrawingRange;
}

void BeginPageAfterChoice(ChoiceContext& c) {
  c.pageEnded = false;
  c.textCursorX = c.scene.textX;
  c.textCursorY = c.scene.textY;
  c.history.Rotate(c.pageIndex);
}

void Choices::PointerMoved(ChoiceContext& c, int x, int y) {
  bool onEntry = false;
  if (c.choiceActive) {
    for (int entry = 0; entry < kMaxChoices; ++entry) onEntry |= HoverChoice(c, entry, x, y);
    c.story.RepaintScreen();
  }
  if (c.pictureChoiceActive)
    for (int entry = 0; entry < kMaxChoices; ++entry) onEntry |= HoverPictureChoice(c, entry, x, y);
  c.pointerOnChoice = onEntry;
}

Choices::TargetOutcome Choices::CarryOutTarget(ChoiceContext& c, FixedText<255>& storedTarget) {
  std::string text = storedTarget.str();
  const ChoiceTarget target = ParseChoiceTarget(text);
  switch (target.kind) {
    case ChoiceTargetKind::Label: {
      // The stored target becomes the label line itself.
      text[0] = '*';
      storedTarget.Set(text);
      c.scene.readPosition = 0;
      c.scriptOffset = 0;
      c.story.JumpToLabel(text);
      if (!c.story.Closed()) c.scene.readPosition = c.scriptOffset;
      return TargetOutcome::Done;
    }
    case ChoiceTargetKind::Scenario: {
      const std::string name(target.rest);
      // A name the scene record cannot hold whole would make every later save point name
      // another file; it is refused like a file that cannot be loaded.
      if (name.size() >= decltype(SceneState::scenarioName)::kCapacity) {
        c.story.ShowMessage(Utf8ToCp932("シナリオファイルの読みこみに失敗しました。"));
        return TargetOutcome::Done;
      }
      if (!c.story.SwitchScenario(name)) return TargetOutcome::Done;
      c.scene.scenarioName.Set(name);
      c.scene.readPosition = 0;
      c.scriptOffset = 0;
      return TargetOutcome::Done;
    }
    case ChoiceTargetKind::Slot: {
      const std::string file = SlotFileName(target.rest);
      if (file.empty() || !c.story.LoadSlotFile(file)) return TargetOutcome::SlotMissing;
      // The load has reset the scene, and with it this choice.
      c.story.InterpretStep();
      return TargetOutcome::SlotLoaded;
    }
    case ChoiceTargetKind::None:
      break;
  }
  return TargetOutcome::Done;
}

void Choices::NoteExtraEntry(ChoiceContext& c, std::string_view command) {
  c.story.Note(std::string(command) + " takes at most ten entries; this line is left out");
}

}  // namespace orv
