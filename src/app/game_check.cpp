#include "app/game_check.h"

#include <cctype>
#include <string>

#include "platform/game_folder.h"
#include "script/startup_definitions.h"

namespace orv {

Result<void> CheckGameFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    return Error{ErrorKind::NotFound, "no such game folder: " + dir.string()};
  GameFolder folder(dir);
  if (!folder.Find("init.def")) return Error{ErrorKind::NotFound, "not a game folder (no init.def): " + dir.string()};
  return {};
}

namespace {

constexpr int kMaxEntriesLooked = 4000;

bool IsMidiName(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".mid" || extension == ".midi";
}

}  // namespace

bool GameHoldsMusic(const GameFolder& folder) {
  if (const Result<StartupDefinitions> defs = ReadStartupDefinitions(folder);
      defs && !defs->musicPackageName.empty() && folder.IsRegularFile(defs->musicPackageName))
    return true;
  namespace fs = std::filesystem;
  std::error_code ec;
  int looked = 0;
  fs::recursive_directory_iterator it(folder.root(), fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator() && looked < kMaxEntriesLooked; it.increment(ec), ++looked) {
    if (it.depth() >= 1) it.disable_recursion_pending();
    if (IsMidiName(it->path()) && it->is_regular_file(ec)) return true;
  }
  return false;
}

}  // namespace orv
