#pragma once
// The 58 script keywords and their handlers. A handler reads its own arguments through the
// shared reader and returns true (go on with the next line) or false (go on in this line).
#include <array>
#include <string_view>

namespace orv {

class TForm1;
using CommandHandler = bool (*)(TForm1&);

struct CommandSlot {
  std::string_view keyword;
  CommandHandler handler = nullptr;
};

inline constexpr int kCommandCount = 58;

class CommandTable {
 public:
  void FillCommandTable();
  // Slot 0..57 of the keyword, ASCII letters compared without case; -1 when absent.
  int FindCommand(std::string_view keyword) const;
  const CommandSlot& slot(int index) const { return slots_[size_t(index)]; }

 private:
  std::array<CommandSlot, kCommandCount> slots_{};
};

}  // namespace orv
