#pragma once
// Whether a folder can be played at all, said in one line when it cannot.
#include <filesystem>
#include <string>

namespace orv {

// Empty when the folder exists and holds an init.def; otherwise what is wrong.
std::string CheckGameFolder(const std::filesystem::path& dir);

}  // namespace orv
