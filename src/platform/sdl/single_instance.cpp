#include "platform/sdl/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace orv {

std::filesystem::path SingleInstanceLockPath() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return std::filesystem::path(runtime) / "orvane.lock";
  return std::filesystem::path("/tmp") / ("orvane-" + std::to_string(getuid()) + ".lock");
}

bool AcquireSingleInstance(const std::filesystem::path& lockFile) {
  const int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;  // nowhere to keep a lock: better to run than to refuse
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // the descriptor stays open: the lock lives with the process
  const bool heldElsewhere = errno == EWOULDBLOCK;
  close(fd);
  return !heldElsewhere;
}

bool AcquireSingleInstance() { return AcquireSingleInstance(SingleInstanceLockPath()); }

}  // namespace orv
