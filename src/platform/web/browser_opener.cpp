// The browser's stand-in for the desktop's opener: a web address opens in a new tab; a file of
// the game lives only in the page's memory, so nothing outside the page could show it.
#include <string>

#include "platform/os.h"
#include "platform/web/page_bridge.h"

namespace orv {

DesktopOpener::~DesktopOpener() = default;

Result<void> DesktopOpener::Open(std::string_view target, const std::filesystem::path& gameRoot) {
  const auto argument = ExternalOpenArgument(target, gameRoot);
  if (!argument) return Error{ErrorKind::Refused, "not a web address or a file of the game: " + std::string(target)};
  if (!argument->starts_with("http://") && !argument->starts_with("https://"))
    return Error{ErrorKind::Unsupported, "the browser cannot open a file of the game: " + std::string(target)};
  orvane_web_open_address(argument->c_str());
  return {};
}

void DesktopOpener::Reap() {}

}  // namespace orv
