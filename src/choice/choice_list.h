#pragma once
// The entries of a text choice (SELECT) and how one entry line of its block is read.
//
// A block is written
//   ~SELECT
//   (any lines, skipped)
//   {
//   caption,target        one line per entry, at most ten
//   }
// An entry line is read with the comma as the only delimiter and blanks dropped: the caption
// runs to the first comma, the target from there to the next comma or the end of the line.
// A line without a comma is no entry.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "persist/fixed_text.h"

namespace orv {

class ScriptReader;

inline constexpr int kMaxChoices = 10;

struct ChoicePosition {
  int32_t x = 0;
  int32_t y = -1;  // -1: a free entry
};

struct ChoiceList {
  std::array<FixedText<255>, kMaxChoices> captions;
  std::array<FixedText<255>, kMaxChoices> targets;
  // One more than the entries: the place the entry after the last would take.
  std::array<ChoicePosition, kMaxChoices + 1> positions;
  int32_t count = 0;

  // Every position at x = textX and free, the first at y = firstY; no entries.
  void Reset(int32_t textX, int32_t firstY);
  bool Full() const { return count >= kMaxChoices; }
};

struct ChoiceEntryLine {
  std::string caption;
  std::string target;
};

// Reads one entry from the line the reader stands on; nothing when the line holds no comma.
// Leaves the reader's delimiters set to the comma.
std::optional<ChoiceEntryLine> ReadChoiceEntry(ScriptReader& reader);

}  // namespace orv
