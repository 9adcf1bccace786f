#include "platform/sdl/external_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

#include "platform/web_address.h"

extern char** environ;

namespace orv {
std::optional<std::string> ExternalOpenArgument(std::string_view target, const std::filesystem::path& gameRoot) {
  namespace fs = std::filesystem;
  if (target.empty()) return std::nullopt;
  if (IsWebAddress(target)) return std::string(target);
  if (target.find('\0') != std::string_view::npos || target.find(':') != std::string_view::npos) return std::nullopt;
  std::error_code ec;
  const fs::path root = fs::canonical(gameRoot, ec);
  if (ec) return std::nullopt;
  fs::path path(std::string{target});
  if (path.is_relative()) path = root / path;
  const fs::path real = fs::canonical(path, ec);
  if (ec || !fs::is_regular_file(real, ec)) return std::nullopt;
  // Inside the folder: the root's parts are a prefix of the file's.
  auto [rootEnd, realAt] = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
  if (rootEnd != root.end()) return std::nullopt;
  return real.string();
}

std::optional<pid_t> SpawnDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return std::nullopt;
  return pid;
}

void ReapChildren(std::vector<pid_t>& children) {
  std::erase_if(children, [](pid_t pid) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || r < 0;
  });
}

}  // namespace orv
