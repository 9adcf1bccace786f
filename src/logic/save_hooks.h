#pragma once
// The script's side of saving: DATALOG labels the next save, PSAVE and PLOAD carry variables
// across games through a variable file. These read their arguments and work on the variable
// tables; the files themselves are read and written by the caller, in the player's write
// folder.
#include <string>

#include "logic/variable_store.h"
#include "persist/scene_state.h"
#include "platform/bytes.h"
#include "script/script_reader.h"

namespace orv {

struct CommandContext;
class WriteFolder;

// The commands, as the command table binds them. PSAVE and PLOAD keep their files in the
// player's write folder (PLOAD also finds them in the game folder); a PSAVE that cannot write
// tells the player why.
bool CmdDatalog(const CommandContext& ctx);                              // DATALOG
bool CmdPsave(const CommandContext& ctx, const WriteFolder& files);      // PSAVE
bool CmdPload(const CommandContext& ctx, const WriteFolder& files);      // PLOAD

// The message a write that failed shows, with its reason.
std::string WriteFailedMessage(std::string_view reason);

// DATALOG: a quoted text, or "&" and a string variable's name, becomes `slotComment`, cut on a
// character boundary to the 80 bytes it holds. False (the comment unchanged) when the named
// variable does not exist.
bool ReadDatalog(ScriptReader& reader, const VariableStore& vars, SceneState& scene);

// What PSAVE writes: the string table, then the numeric table.
Bytes VariableFileImage(const VariableStore& vars);

struct PloadArguments {
  std::string fileName;
  char kind = 0;  // '!' numeric, '&' string, anything else neither
  std::string name;
};
PloadArguments ReadPloadArguments(ScriptReader& reader);

enum class PloadResult { Copied, NeitherKind, MissingNumeric, MissingString };
// Copies the one variable from the file's tables into the live variable of the same name.
PloadResult ApplyPload(const PloadArguments& args, ByteSpan file, VariableStore& vars);

}  // namespace orv
