#pragma once
// What taking a choice does, told by the first byte of the entry's target text:
//   "@label"   jump to the line "*label" of the current scenario
//   "!name"    start the scenario file `name`
//   "\d"       load save slot d (the file "data_d.dat")
//   anything else, or nothing: reading goes on after the choice block
#include <string>
#include <string_view>

namespace orv {

enum class ChoiceTargetKind { Label, Scenario, Slot, None };

struct ChoiceTarget {
  ChoiceTargetKind kind = ChoiceTargetKind::None;
  std::string_view rest;  // the text after the first byte
};

ChoiceTarget ParseChoiceTarget(std::string_view target);

// What taking an entry asks for; the player carries it out, and closes the choice only when
// the story goes on past it (a loaded slot has moved the game on already, and a slot target
// without a slot leaves the choice waiting).
struct ChoiceOutcome {
  enum class Kind { GoOn, JumpToLabel, StartScenario, LoadSlot };
  Kind kind = Kind::GoOn;
  // JumpToLabel: the label line ("*name"); StartScenario: the scenario file; LoadSlot: the
  // slot file, empty when the target names none.
  std::string name;
};

// The outcome of an entry's target text.
ChoiceOutcome OutcomeOf(std::string_view target);

// The slot file a backslash target names: "data_" and the byte after the backslash, ".dat".
// A target that is the backslash alone names no file at all (empty).
std::string SlotFileName(std::string_view rest);

// The slot number 0..9 a caption of the form backslash-digit asks for, or -1 for any other
// caption.
int SlotCaptionNumber(std::string_view caption);

}  // namespace orv
