#pragma once
// Whether a folder can be played at all, said in one line when it cannot.
#include <filesystem>

#include "platform/result.h"

namespace orv {

// Fine when the folder exists and holds an init.def; otherwise NotFound, saying what is wrong.
Result<void> CheckGameFolder(const std::filesystem::path& dir);

class GameFolder;

// The game may play music: its init.def names a music package that is there, or it holds
// loose .mid files (in its folder or one level down). Looks at a few thousand entries at most.
bool GameHoldsMusic(const GameFolder& folder);

}  // namespace orv
