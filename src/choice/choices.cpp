// What both kinds of choice share: the reset, the routing of pointer movements, taking an
// entry's target, and the steps of reading a block.
#include "choice/choices.h"

#include "choice/choice_steps.h"
#include "choice/choice_target.h"

namespace orv {

namespace {
// Far beyond any picture side, far below the limits of int.
constexpr int64_t kDrawingRange = int64_t(1) << 24;
}  // namespace

void Choices::Reset() {
  list_ = ChoiceList();
  pictureList_.Clear();
  reportedPictures_.clear();
  ForgetWaiting();
}

void Choices::ForgetWaiting() {
  choiceActive_ = false;
  pictureChoiceActive_ = false;
  hoveredChoice_ = 0;
  pointerOnChoice_ = false;
}

bool FetchBlockLine(ChoiceContext& c) {
  const std::optional<std::string_view> line = c.story.FetchLine();
  c.reader.SetSource(line.value_or(std::string_view()));
  return line.has_value();
}

bool LineBegins(const ChoiceContext& c, char first) {
  // Asked before anything of the line is read: what the reader has left is the whole line.
  const std::string_view line = c.reader.Rest();
  return !line.empty() && line[0] == first;
}

bool WithinDrawingRange(int64_t x, int64_t y) {
  return x > -kDrawingRange && x < kDrawingRange && y > -kDrawingRange && y < kDrawingRange;
}

void Choices::PointerMoved(ChoiceContext& c, int x, int y) {
  bool onEntry = false;
  if (choiceActive_) {
    for (int entry = 0; entry < kMaxChoices; ++entry) onEntry |= HoverChoice(c, entry, x, y);
    c.story.ShowScreen();
  }
  if (pictureChoiceActive_)
    for (int entry = 0; entry < kMaxChoices; ++entry) onEntry |= HoverPictureChoice(c, entry, x, y);
  pointerOnChoice_ = onEntry;
}

ChoiceOutcome Choices::Take(FixedText<255>& storedTarget) {
  ChoiceOutcome outcome = OutcomeOf(storedTarget.str());
  // The stored target of a jump becomes the label line itself, as saves and dumps show it.
  if (outcome.kind == ChoiceOutcome::Kind::JumpToLabel) storedTarget.Set(outcome.name);
  return outcome;
}

void Choices::NoteExtraEntry(ChoiceContext& c, std::string_view command) {
  c.story.NoteAtLine(std::string(command) + " takes at most ten entries; this line is left out");
}

}  // namespace orv
