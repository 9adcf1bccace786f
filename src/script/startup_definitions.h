#pragma once
// init.def: five message-speed values and four file names, one per CR LF line.
#include <array>
#include <cstdint>
#include <string>

#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

class GameFolder;

struct StartupDefinitions {
  std::array<int32_t, 5> messageSpeedTable{};
  std::string scenarioFileName;
  std::string picturePackageName;
  std::string wavePackageName;
  std::string musicPackageName;
  int linesRead = 0;   // lines present in the file (at most 9 are used)
  // What looks wrong with the file, in English, for a player whose game does not start
  // (lines ended by LF alone, which read as one line); empty when nothing does.
  std::string problem;
};

// Missing lines keep their defaults (0, 25, 50, 75, 100 and empty names).
StartupDefinitions ParseStartupDefinitions(ByteSpan bytes);
// The game folder's init.def; NotFound when there is none.
Result<StartupDefinitions> ReadStartupDefinitions(const GameFolder& folder);

// Splits text into lines ended by CR LF (a lone CR or LF belongs to the line); each line is
// cut at 255 bytes, the rest of an over-long line being dropped, not carried into the next.
std::string NextDefinitionLine(ByteSpan bytes, size_t& pos);

}  // namespace orv
