// Which targets the desktop's opener may see: the same on every system, so it lives outside
// the system-specific folders.
#include <algorithm>
#include <system_error>

#include "platform/os.h"
#include "platform/web_address.h"

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

}  // namespace orv
