#pragma once
// The desktop's folders for a user's own files, by the XDG base-directory and user-directory
// rules: where the player keeps its settings and where screenshots go.
#include <filesystem>
#include <optional>
#include <string_view>

namespace orv {

// $XDG_CONFIG_HOME, else ~/.config; nothing without a home.
std::optional<std::filesystem::path> UserConfigHome();
// The pictures folder: $XDG_PICTURES_DIR, else the one user-dirs.dirs names, else ~/Pictures.
std::optional<std::filesystem::path> UserPicturesFolder();

// XDG_PICTURES_DIR as a user-dirs.dirs file states it ("$HOME/..." or an absolute path), or
// nothing when the file does not say (or says it badly).
std::optional<std::filesystem::path> PicturesFolderInUserDirs(std::string_view fileText,
                                                              const std::filesystem::path& home);

}  // namespace orv
