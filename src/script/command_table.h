#pragma once
// The 58 script keywords in their slots, and the handler bound to each. A handler reads its
// own arguments through the shared reader and returns true (go on with the next line) or
// false (go on in this line). The player binds the handlers, each with the parts it works on.
#include <array>
#include <functional>
#include <string_view>

namespace orv {

using CommandHandler = std::function<bool()>;

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

 private:
  std::array<CommandSlot, kCommandCount> slots_{};
};

}  // namespace orv
