#pragma once
// The commands that change the stage and the message window's style, and the fades.
namespace orv {
struct CommandContext;
class Stage;
bool CmdLoadbg(const CommandContext& ctx, Stage& stage);     // LOADBG
bool CmdLoadchar(const CommandContext& ctx, Stage& stage);   // LOADCHAR
bool CmdCharclr(const CommandContext& ctx, Stage& stage);    // CHARCLR
bool CmdCharpos(const CommandContext& ctx, Stage& stage);    // CHARPOS
bool CmdCharmode(const CommandContext& ctx, Stage& stage);   // CHARMODE
bool CmdFadeout(const CommandContext& ctx, Stage& stage);    // FADEOUT
bool CmdFlash(const CommandContext& ctx, Stage& stage);      // FLASH
bool CmdFontColor(const CommandContext& ctx, Stage& stage);  // FONTCOLOR
bool CmdFontSize(const CommandContext& ctx, Stage& stage);   // FONTSIZE
bool CmdFontName(const CommandContext& ctx, Stage& stage);   // FONTNAME
bool CmdTxtPos(const CommandContext& ctx, Stage& stage);     // TXTPOS
bool CmdTxtSpr(const CommandContext& ctx, Stage& stage);     // TXTSPR
bool CmdBoxCol(const CommandContext& ctx, Stage& stage);     // BOXCOL
bool CmdBoxSize(const CommandContext& ctx, Stage& stage);    // BOXSIZE
}  // namespace orv
