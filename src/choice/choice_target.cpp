#include "choice/choice_target.h"

namespace orv {

ChoiceTarget ParseChoiceTarget(std::string_view target) {
  if (target.empty()) return {};
  const std::string_view rest = target.substr(1);
  switch (target[0]) {
    case '@': return {ChoiceTargetKind::Label, rest};
    case '!': return {ChoiceTargetKind::Scenario, rest};
    case '\\': return {ChoiceTargetKind::Slot, rest};
    default: return {ChoiceTargetKind::None, rest};
  }
}

ChoiceOutcome OutcomeOf(std::string_view targetText) {
  const ChoiceTarget target = ParseChoiceTarget(targetText);
  switch (target.kind) {
    case ChoiceTargetKind::Label: return {ChoiceOutcome::Kind::JumpToLabel, "*" + std::string(target.rest)};
    case ChoiceTargetKind::Scenario: return {ChoiceOutcome::Kind::StartScenario, std::string(target.rest)};
    case ChoiceTargetKind::Slot: return {ChoiceOutcome::Kind::LoadSlot, SlotFileName(target.rest)};
    case ChoiceTargetKind::None: break;
  }
  return {};
}

std::string SlotFileName(std::string_view rest) {
  // The kit formatted the name with the byte after the backslash; with no byte there its
  // name ended before ".dat", which names no slot.
  if (rest.empty()) return {};
  return std::string("data_") + rest[0] + ".dat";
}

int SlotCaptionNumber(std::string_view caption) {
  if (caption.size() != 2 || caption[0] != '\\' || caption[1] < '0' || caption[1] > '9') return -1;
  return caption[1] - '0';
}

}  // namespace orv
