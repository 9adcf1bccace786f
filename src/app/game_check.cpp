#include "app/game_check.h"

#include "platform/game_folder.h"

namespace orv {

Result<void> CheckGameFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    return Error{ErrorKind::NotFound, "no such game folder: " + dir.string()};
  GameFolder folder(dir);
  if (!folder.Find("init.def")) return Error{ErrorKind::NotFound, "not a game folder (no init.def): " + dir.string()};
  return {};
}

}  // namespace orv
