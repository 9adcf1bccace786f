#pragma once
// The commands of variables, expressions, conditions, jumps and strings.
namespace orv {
struct CommandContext;
bool CmdMath(const CommandContext& ctx);      // MATH
bool CmdRandom(const CommandContext& ctx);    // RANDOM
bool CmdSin(const CommandContext& ctx);       // SIN
bool CmdCos(const CommandContext& ctx);       // COS
bool CmdIf(const CommandContext& ctx);        // IF
bool CmdGoto(const CommandContext& ctx);      // GOTO
bool CmdExit(const CommandContext& ctx);      // EXIT
bool CmdWait(const CommandContext& ctx);      // WAIT
bool CmdNvmode(const CommandContext& ctx);    // NVMODE
bool CmdSetspeed(const CommandContext& ctx);  // SETSPEED
bool CmdRun(const CommandContext& ctx);       // RUN
bool CmdSetcursor(const CommandContext& ctx); // SETCURSOR
bool CmdDebug(const CommandContext& ctx);     // DEBUG
bool CmdInputbox(const CommandContext& ctx);  // INPUTBOX
bool CmdStrcat(const CommandContext& ctx);    // STRCAT
bool CmdStrcmp(const CommandContext& ctx);    // STRCMP
bool CmdStrlen(const CommandContext& ctx);    // STRLEN
bool CmdInttostr(const CommandContext& ctx);  // INTTOSTR
bool CmdStrtoint(const CommandContext& ctx);  // STRTOINT
}  // namespace orv
