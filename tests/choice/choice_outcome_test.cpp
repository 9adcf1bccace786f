// What taking an entry asks of the player, from the entry's target text alone.
#include <gtest/gtest.h>

#include "choice/choice_target.h"

namespace orv {
namespace {

using Kind = ChoiceOutcome::Kind;

void ExpectOutcome(std::string_view target, Kind kind, std::string_view name) {
  const ChoiceOutcome outcome = OutcomeOf(target);
  EXPECT_EQ(outcome.kind, kind) << target;
  EXPECT_EQ(outcome.name, name) << target;
}

TEST(ChoiceOutcome, EachTargetKindAndItsEdges) {
  ExpectOutcome("@north", Kind::JumpToLabel, "*north");  // the label line itself
  ExpectOutcome("@", Kind::JumpToLabel, "*");
  ExpectOutcome("!second.txt", Kind::StartScenario, "second.txt");
  ExpectOutcome("\\3", Kind::LoadSlot, "data_3.dat");
  ExpectOutcome("\\37", Kind::LoadSlot, "data_3.dat");  // only the byte after the backslash counts
  ExpectOutcome("\\", Kind::LoadSlot, "");              // names no slot: the choice keeps waiting
  ExpectOutcome("north", Kind::GoOn, "");
  ExpectOutcome("", Kind::GoOn, "");
}

}  // namespace
}  // namespace orv
