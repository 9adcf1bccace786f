#pragma once
// The message window's style commands.
namespace orv {
class TForm1;
bool CmdFontColor(TForm1& form);
bool CmdFontSize(TForm1& form);
bool CmdFontName(TForm1& form);
bool CmdTxtPos(TForm1& form);
bool CmdTxtSpr(TForm1& form);
bool CmdBoxCol(TForm1& form);
bool CmdBoxSize(TForm1& form);
}  // namespace orv
