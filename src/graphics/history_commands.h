#pragma once
// The history screen's style commands. They only store what the screen will look like the
// next time it opens.
namespace orv {
struct CommandContext;
bool CmdTmode(const CommandContext& ctx);         // TMODE
bool CmdTtxtpos(const CommandContext& ctx);       // TTXTPOS
bool CmdTtxtspr(const CommandContext& ctx);       // TTXTSPR
bool CmdTfontcolor(const CommandContext& ctx);    // TFONTCOLOR
bool CmdTfontsize(const CommandContext& ctx);     // TFONTSIZE
bool CmdTfontname(const CommandContext& ctx);     // TFONTNAME
bool CmdTboxsize(const CommandContext& ctx);      // TBOXSIZE
bool CmdTscreencg(const CommandContext& ctx);     // TSCREENCG
bool CmdTscreencolor(const CommandContext& ctx);  // TSCREENCOLOR
bool CmdTscreenmode(const CommandContext& ctx);   // TSCREENMODE
}  // namespace orv
