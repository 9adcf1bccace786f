#include "app/skip_control.h"

namespace orv {

bool SkipControl::Advances() const {
  return (mode_ || (held_ && !choices_.choiceActive())) && !choices_.pictureChoiceActive() &&
         input_.interactionState != kHistory;
}

void SkipControl::Toggle() {
  if (!choices_.choiceActive()) mode_ = !mode_;
  ShowMark();
}

void SkipControl::StopAndShow() {
  mode_ = false;
  ShowMark();
}

void SkipControl::ShowMark() {
  shown_ = Advances();
  host_.ShowSkipping(shown_);
}

void SkipControl::Reset() {
  mode_ = false;
  held_ = false;
  shown_ = false;
}

}  // namespace orv
