#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/confined_write.h"
#include "platform/os.h"

namespace orv {
namespace fs = std::filesystem;

// A path the user chose: its folder is reached as the system finds it, links and all, and the
// file is replaced the one way every file of the player is.
Result<void> WriteFileAtomically(const fs::path& path, ByteSpan data) {
  const fs::path folder = path.parent_path();
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return Error{ErrorKind::Failed, "cannot write " + path.string() + ": " + std::generic_category().message(errno)};
  const ConfinedTarget target(fd, path.filename().string(), path);
  return ReplaceAt(target, data);
}

}  // namespace orv
