#include "script/command_table.h"

#include "platform/bytes.h"

namespace orv {

namespace {
constexpr std::array<std::string_view, kCommandCount> kKeywords = {
    "FONTCOLOR", "FONTSIZE",  "LOADBG",    "TITLE",      "FADEOUT",    "BOXCOL",      "LOADCHAR", "CHARPOS",
    "CHARCLR",   "TTXTSPR",   "WAVEPLAY",  "WAVESTOP",   "MATH",       "IF",          "MIDIPLAY", "MIDISTOP",
    "RUN",       "RANDOM",    "WAIT",      "INPUTBOX",   "STRCAT",     "STRCMP",      "BOXSIZE",  "TXTSPR",
    "TXTPOS",    "SELECT",    "TMODE",     "DATALOG",    "GOTO",       "SELECTCG",    "NVMODE",   "SETSPEED",
    "SIN",       "COS",       "STRLEN",    "EXIT",       "ONLOAD",     "ONSAVE",      "PSAVE",    "PLOAD",
    "DEBUG",     "CDPLAY",    "CDSTOP",    "INTTOSTR",   "STRTOINT",   "CHARMODE",    "SAVEPOINT", "FONTNAME",
    "FLASH",     "TFONTNAME", "TFONTSIZE", "TBOXSIZE",   "TFONTCOLOR", "TTXTPOS",     "SETCURSOR", "TSCREENMODE",
    "TSCREENCG", "TSCREENCOLOR",
};
}  // namespace

void CommandTable::FillCommandTable() {
  for (size_t i = 0; i < slots_.size(); ++i) slots_[i] = CommandSlot{kKeywords[i], nullptr};
}

bool CommandTable::Bind(std::string_view keyword, CommandHandler handler) {
  const int index = FindCommand(keyword);
  if (index < 0) return false;
  slots_[size_t(index)].handler = std::move(handler);
  return true;
}

int CommandTable::FindCommand(std::string_view keyword) const {
  const std::string upper = AsciiUpper(keyword);
  for (int i = 0; i < kCommandCount; ++i)
    if (slots_[size_t(i)].keyword == upper) return i;
  return -1;
}

}  // namespace orv
