#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "platform/os.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return std::generic_category().message(error); }

// A name beside `path` that no one else uses: made up from the process, the time and the
// attempt, and claimed with O_EXCL, so that neither a second player nor a planted file or
// link can be written through.
int CreateTemporaryBeside(const fs::path& path, fs::path& temp) {
  const auto now = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  int error = EEXIST;
  for (uint64_t attempt = 0; attempt < 64 && error == EEXIST; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%ld-%llx.orvane-tmp", long(getpid()),
                  static_cast<unsigned long long>(now * 31 + attempt));
    temp = path;
    temp += suffix;
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    error = errno;
  }
  errno = error;
  return -1;
}

bool WriteFully(int fd, ByteSpan data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += size_t(n);
  }
  return true;
}

// Makes the rename itself survive a power cut. A folder that cannot be synced changes
// nothing about the outcome: the file is in place either way.
void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

OsStatus WriteFileAtomically(const fs::path& path, ByteSpan data) {
  fs::path temp;
  const int fd = CreateTemporaryBeside(path, temp);
  if (fd < 0) return OsStatus::Failed("cannot write " + path.string() + ": " + Reason(errno));
  auto fail = [&](int error) {
    unlink(temp.c_str());
    return OsStatus::Failed("cannot write " + path.string() + ": " + Reason(error));
  };
  struct stat old {};
  if (lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
  if (!WriteFully(fd, data) || fsync(fd) != 0) {
    const int error = errno;
    close(fd);
    return fail(error);
  }
  if (close(fd) != 0) return fail(errno);
  if (rename(temp.c_str(), path.c_str()) != 0) return fail(errno);
  SyncFolder(path.parent_path());
  return OsStatus::Ok();
}

}  // namespace orv
