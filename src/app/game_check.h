#pragma once
// Whether a folder can be played at all, said in one line when it cannot.
#include <filesystem>

#include "platform/result.h"

namespace orv {

// Fine when the folder exists and holds an init.def; otherwise NotFound, saying what is wrong.
Result<void> CheckGameFolder(const std::filesystem::path& dir);

}  // namespace orv
