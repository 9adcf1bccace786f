#pragma once
// The entries of a picture choice (SELECTCG) and how one entry line of its block is read.
//
// A block is written
//   ~SELECTCG
//   {                      the line after the command, read and ignored whatever it holds
//   "normal","hover","pressed",x,y,transparent,target      one line per entry, at most ten
//   }
// An entry line is read with the comma and the double quote as delimiters, blanks dropped.
// Each name is read as: up to its opening quote, the name up to its closing quote, up to the
// comma after it. The three numbers are decimal (atoi: no digits read as 0) and the target
// runs to the next comma, quote or the end of the line. Whatever a line lacks stays empty or
// 0: a line is an entry whatever it holds, as long as it does not begin with "}".
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "choice/choice_list.h"
#include "persist/fixed_text.h"
#include "platform/image.h"

namespace orv {

class ScriptReader;

struct PictureChoiceList {
  // One picture holder per entry, kept from choice to choice: a picture that cannot be loaded
  // leaves the holder with what it showed before (empty at first).
  std::array<std::shared_ptr<const Image>, kMaxChoices> images;
  std::array<int32_t, kMaxChoices> left{}, top{}, right{}, bottom{};
  std::array<int32_t, kMaxChoices> transparent{};
  std::array<FixedText<255>, kMaxChoices> normalPicture, hoverPicture, pressedPicture, targets;
  std::array<int32_t, kMaxChoices> shownHover{};
  int32_t count = 0;
  // The window as it was when the choice appeared.
  Image backdrop{kStageWidth, kStageHeight};

  // No names, every entry free, not transparent, and marked as showing its hover picture so
  // that the first pass draws every entry; the picture holders keep what they hold.
  void Reset();
  // As a new list: no entries and empty holders. The backdrop keeps its storage and its
  // picture, which nothing shows before a choice takes the window into it.
  void Clear();
  bool Full() const { return count >= kMaxChoices; }
  bool Free(int entry) const { return top[size_t(entry)] == -1 || entry >= count; }
  // The size of what the entry's holder shows now (0 x 0 when it holds nothing).
  int ImageWidth(int entry) const;
  int ImageHeight(int entry) const;
};

struct PictureChoiceEntryLine {
  std::string normalPicture, hoverPicture, pressedPicture;
  int32_t left = 0, top = 0, transparent = 0;
  std::string target;
};

// Reads one entry from the line the reader stands on.
PictureChoiceEntryLine ReadPictureChoiceEntry(ScriptReader& reader);

}  // namespace orv
