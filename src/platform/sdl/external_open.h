#pragma once
// Handing a file or a web address to the desktop's opener (xdg-open), without a shell.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace orv {

// What may be handed on: an http or https address as it stands, or an existing file inside
// the game folder (as an absolute path). Nothing for everything else.
std::optional<std::string> ExternalOpenArgument(std::string_view target, const std::filesystem::path& gameRoot);

// Starts the program (looked up in PATH) with these arguments and does not wait for it; the
// process id, or nothing when it could not start.
std::optional<pid_t> SpawnDetached(const std::vector<std::string>& argv);
// Collects the children that have ended, so they do not linger.
void ReapChildren(std::vector<pid_t>& children);

}  // namespace orv
