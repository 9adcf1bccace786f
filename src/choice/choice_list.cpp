#include "choice/choice_list.h"

#include "script/script_reader.h"

namespace orv {

void ChoiceList::Reset(int32_t textX, int32_t firstY) {
  for (ChoicePosition& position : positions) position = ChoicePosition{textX, -1};
  positions[0].y = firstY;
  count = 0;
  for (auto& caption : captions) caption.Clear();
  for (auto& target : targets) target.Clear();
}

std::optional<ChoiceEntryLine> ReadChoiceEntry(ScriptReader& reader) {
  ChoiceEntryLine entry;
  reader.SetDelimiters(",");
  if (reader.ReadToken(entry.caption) != ',') return std::nullopt;
  reader.ReadToken(entry.target);
  return entry;
}

}  // namespace orv
