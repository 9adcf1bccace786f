#pragma once
// The 58 script keywords in their slots, and the handler bound to each. A handler reads its
// own arguments through the shared reader and returns true (go on with the next line) or
// false (go on in this line). The player binds the handlers, each with the parts it works on,
// and so the handler of the message text's inline forms.
#include <array>
#include <functional>
#include <string_view>

namespace orv {

using CommandHandler = std::function<bool()>;
// The inline forms of message text ('!', '&', '%' and '\''): false when the game cannot go on
// (it has been told, and closed).
using InlineFormHandler = std::function<bool(char form)>;

inline constexpr int kCommandCount = 58;

struct CommandSlot {
  std::string_view keyword;
  CommandHandler handler;
};

class CommandTable {
 public:
  // Puts the keywords into their slots, with no handlers yet.
  void FillCommandTable();
  // Binds the handler of a keyword of the table; false for a keyword the table lacks.
  bool Bind(std::string_view keyword, CommandHandler handler);
  // Slot 0..57 of the keyword, ASCII letters compared without case; -1 when absent.
  int FindCommand(std::string_view keyword) const;
  const CommandSlot& slot(int index) const { return slots_[size_t(index)]; }

  void BindInlineForms(InlineFormHandler handler) { inlineForms_ = std::move(handler); }
  // True (go on) while nothing is bound.
  bool RunInlineForm(char form) const { return !inlineForms_ || inlineForms_(form); }

 private:
  std::array<CommandSlot, kCommandCount> slots_{};
  InlineFormHandler inlineForms_;
};

}  // namespace orv
