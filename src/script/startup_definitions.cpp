#include "script/startup_definitions.h"

#include "platform/game_folder.h"
#include "script/script_reader.h"

namespace orv {

std::string NextDefinitionLine(ByteSpan bytes, size_t& pos) {
  std::string line;
  while (pos < bytes.size()) {
    if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') {
      pos += 2;
      break;
    }
    if (line.size() < 255) line += char(bytes[pos]);
    ++pos;
  }
  return line;
}

StartupDefinitions ParseStartupDefinitions(ByteSpan bytes) {
  StartupDefinitions defs;
  defs.messageSpeedTable = {0, 25, 50, 75, 100};
  size_t pos = 0;
  std::string* names[] = {&defs.scenarioFileName, &defs.picturePackageName, &defs.wavePackageName,
                          &defs.musicPackageName};
  const std::string_view whole(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (whole.find('\n') != std::string_view::npos && whole.find("\r\n") == std::string_view::npos)
    defs.problem = "init.def ends its lines with LF alone; the kit's files end them with CR LF, so its nine lines "
                   "read as one";
  for (int line = 0; line < 9 && pos < bytes.size(); ++line) {
    std::string text = NextDefinitionLine(bytes, pos);
    ++defs.linesRead;
    if (line < 5)
      defs.messageSpeedTable[size_t(line)] = AtoiWrapping(text);
    else
      *names[line - 5] = text;
  }
  return defs;
}

Result<StartupDefinitions> ReadStartupDefinitions(const GameFolder& folder) {
  if (!folder.Find("init.def")) return Error{ErrorKind::NotFound, "no init.def"};
  auto bytes = folder.ReadAll("init.def", 1 << 20);
  if (!bytes) return Error{ErrorKind::Unreadable, "cannot read init.def (or it is over a megabyte)"};
  return ParseStartupDefinitions(*bytes);
}

}  // namespace orv
