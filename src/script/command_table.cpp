#include "script/command_table.h"

#include "platform/bytes.h"
#include "script/command_handlers.h"

namespace orv {

void CommandTable::FillCommandTable() {
  slots_ = {{
      {"FONTCOLOR", CmdFontColor},
      {"FONTSIZE", CmdFontSize},
      {"LOADBG", CmdLoadbg},
      {"TITLE", CmdTitle},
      {"FADEOUT", CmdFadeout},
      {"BOXCOL", CmdBoxCol},
      {"LOADCHAR", CmdLoadchar},
      {"CHARPOS", CmdCharpos},
      {"CHARCLR", CmdCharclr},
      {"TTXTSPR", CmdTtxtspr},
      {"WAVEPLAY", CmdWaveplay},
      {"WAVESTOP", CmdWavestop},
      {"MATH", CmdMath},
      {"IF", CmdIf},
      {"MIDIPLAY", CmdMidiplay},
      {"MIDISTOP", CmdMidistop},
      {"RUN", CmdRun},
      {"RANDOM", CmdRandom},
      {"WAIT", CmdWait},
      {"INPUTBOX", CmdInputbox},
      {"STRCAT", CmdStrcat},
      {"STRCMP", CmdStrcmp},
      {"BOXSIZE", CmdBoxSize},
      {"TXTSPR", CmdTxtSpr},
      {"TXTPOS", CmdTxtPos},
      {"SELECT", CmdSelect},
      {"TMODE", CmdTmode},
      {"DATALOG", CmdDatalog},
      {"GOTO", CmdGoto},
      {"SELECTCG", CmdSelectcg},
      {"NVMODE", CmdNvmode},
      {"SETSPEED", CmdSetspeed},
      {"SIN", CmdSin},
      {"COS", CmdCos},
      {"STRLEN", CmdStrlen},
      {"EXIT", CmdExit},
      {"ONLOAD", CmdOnload},
      {"ONSAVE", CmdOnsave},
      {"PSAVE", CmdPsave},
      {"PLOAD", CmdPload},
      {"DEBUG", CmdDebug},
      {"CDPLAY", CmdCdplay},
      {"CDSTOP", CmdCdstop},
      {"INTTOSTR", CmdInttostr},
      {"STRTOINT", CmdStrtoint},
      {"CHARMODE", CmdCharmode},
      {"SAVEPOINT", CmdSavepoint},
      {"FONTNAME", CmdFontName},
      {"FLASH", CmdFlash},
      {"TFONTNAME", CmdTfontname},
      {"TFONTSIZE", CmdTfontsize},
      {"TBOXSIZE", CmdTboxsize},
      {"TFONTCOLOR", CmdTfontcolor},
      {"TTXTPOS", CmdTtxtpos},
      {"SETCURSOR", CmdSetcursor},
      {"TSCREENMODE", CmdTscreenmode},
      {"TSCREENCG", CmdTscreencg},
      {"TSCREENCOLOR", CmdTscreencolor},
  }};
}

int CommandTable::FindCommand(std::string_view keyword) const {
  const std::string upper = AsciiUpper(keyword);
  for (int i = 0; i < kCommandCount; ++i)
    if (slots_[size_t(i)].keyword == upper) return i;
  return -1;
}

}  // namespace orv
