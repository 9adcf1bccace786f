#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>

#include "platform/os.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

// 64-bit FNV-1a: stable across runs and builds, which std::hash need not be.
uint64_t HashOf(std::string_view text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

fs::path RealFolder(const fs::path& folder) {
  std::error_code ec;
  fs::path real = fs::weakly_canonical(folder, ec);
  if (ec) real = fs::absolute(folder, ec);
  if (ec) real = folder;
  return real;
}

}  // namespace

fs::path SingleInstanceLockPath(const fs::path& gameFolder) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(HashOf(RealFolder(gameFolder).string())));
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return fs::path(runtime) / ("orvane-" + std::string(hash) + ".lock");
  // /tmp is shared by every user: the user's id keeps one user's lock from blocking another's.
  return fs::path("/tmp") / ("orvane-" + std::to_string(getuid()) + "-" + hash + ".lock");
}

SingleInstanceLock SingleInstanceLock::ForGameFolder(const fs::path& gameFolder, Sharing sharing) {
  return OnFile(SingleInstanceLockPath(gameFolder), sharing);
}

SingleInstanceLock SingleInstanceLock::OnFile(const fs::path& lockFile, Sharing sharing) {
  // Not through a symbolic link, and only in a file of our own: someone else's file in a shared
  // folder must not be able to keep the player from starting.
  const int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return SingleInstanceLock(-1, State::Unavailable);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
    close(fd);
    return SingleInstanceLock(-1, State::Unavailable);
  }
  const int kind = sharing == Sharing::Alone ? LOCK_EX : LOCK_SH;
  if (flock(fd, kind | LOCK_NB) == 0) return SingleInstanceLock(fd, State::Held);
  const bool heldElsewhere = errno == EWOULDBLOCK;
  close(fd);
  return SingleInstanceLock(-1, heldElsewhere ? State::HeldElsewhere : State::Unavailable);
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), state_(other.state_) {}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) close(handle_);
    handle_ = std::exchange(other.handle_, -1);
    state_ = other.state_;
  }
  return *this;
}

// Closing the descriptor drops the lock; the file stays, so that a player starting at this
// moment cannot lock a file that is about to be removed.
SingleInstanceLock::~SingleInstanceLock() {
  if (handle_ >= 0) close(handle_);
}

}  // namespace orv
