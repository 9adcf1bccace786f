#include "platform/safe_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orv {
namespace fs = std::filesystem;

namespace {

// Small enough that a disk that fills up part-way is met in the middle of a save.
constexpr size_t kChunkBytes = 4096;

std::string Describe(const fs::path& file, int error) { return file.filename().string() + ": " + std::strerror(error); }

// Makes a finished rename survive a power cut; the new file is in place whatever this says.
void SyncFolderOf(const fs::path& file) {
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

fs::path TemporaryNameFor(const fs::path& file) {
  fs::path temp = file;
  temp += ".orvane-tmp";
  return temp;
}

WriteOutcome ReplaceFileSafely(const fs::path& file, ByteSpan data, const WriteFault& fault) {
  const fs::path temp = TemporaryNameFor(file);
  size_t written = 0;
  auto injected = [&](WriteStep step) { return fault ? fault(step, written) : 0; };

  int error = injected(WriteStep::OpenTemporary);
  const int fd = error ? -1 : ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return WriteOutcome::Failed(Describe(file, error ? error : errno));

  auto abandon = [&](int why) {
    ::close(fd);
    ::unlink(temp.c_str());
    return WriteOutcome::Failed(Describe(file, why));
  };
  while (written < data.size()) {
    if ((error = injected(WriteStep::WriteData))) return abandon(error);
    const size_t chunk = std::min(kChunkBytes, data.size() - written);
    const ssize_t n = ::write(fd, data.data() + written, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return abandon(n < 0 ? errno : ENOSPC);
    written += size_t(n);
  }
  if ((error = injected(WriteStep::Flush)) || (::fsync(fd) != 0 && (error = errno))) return abandon(error);
  error = injected(WriteStep::Close);
  if (::close(fd) != 0 && !error) error = errno;
  if (error) {
    ::unlink(temp.c_str());
    return WriteOutcome::Failed(Describe(file, error));
  }
  if ((error = injected(WriteStep::Rename)) || (std::rename(temp.c_str(), file.c_str()) != 0 && (error = errno))) {
    ::unlink(temp.c_str());
    return WriteOutcome::Failed(Describe(file, error));
  }
  SyncFolderOf(file);
  return WriteOutcome{};
}

}  // namespace orv
