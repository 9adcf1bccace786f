#pragma once
// Gathers the game's text for the programs that read along (platform/text_out.h): message
// text is sent a whole line at a time once the line is complete; boxes, questions and choice
// captions as they appear. Texts come as the game holds them (Shift-JIS) and go out as UTF-8,
// without the blanks around them; a line of blanks alone is not sent.
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_out.h"

namespace orv {

class TextFeed {
 public:
  void Add(TextOut& out) { outs_.push_back(&out); }
  bool active() const { return !outs_.empty(); }

  // Message text typed into the current line.
  void Typed(std::string_view sjis);
  // The current line is complete.
  void LineEnded();
  // A whole text of the game's (a box, a question, a caption): the unfinished line goes first.
  void Send(std::string_view sjis);

 private:
  void Emit(std::string_view sjis);

  std::vector<TextOut*> outs_;
  std::string line_;  // Shift-JIS
};

}  // namespace orv
