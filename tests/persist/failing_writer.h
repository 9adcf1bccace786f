#pragma once
// A file replacement that goes through the same steps as the player's own (a temporary file
// beside the target, written in pieces, flushed, closed, renamed over the target) and fails at
// the step a test names, the way a full disk or a failing device would. Saving code must
// leave the previous file whole whichever step fails.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/confined_write.h"

namespace orv::test {

enum class WriteStep { OpenTemporary, WriteData, Flush, Close, Rename };

struct FaultPoint {
  WriteStep step;
  size_t afterBytes = 0;  // for WriteData: fails once this many bytes are written
};

inline constexpr size_t kWritePiece = 4096;

// Every point at which writing `size` bytes can fail, in the order a write meets them.
inline std::vector<FaultPoint> EveryFaultPoint(size_t size) {
  std::vector<FaultPoint> points = {{WriteStep::OpenTemporary}};
  for (size_t at = 0; at < size; at += kWritePiece) points.push_back({WriteStep::WriteData, at});
  for (WriteStep step : {WriteStep::Flush, WriteStep::Close, WriteStep::Rename}) points.push_back({step, size});
  return points;
}

inline Result<void> WriteFailingAt(const FaultPoint& fault, int error, const ConfinedTarget& target, ByteSpan data) {
  const std::string temp = target.name() + ".failing.orvane-tmp";
  auto failed = [&]() -> Result<void> {
    return Error{ErrorKind::Failed, "cannot write " + target.shown().string() + ": " + std::strerror(error)};
  };
  if (fault.step == WriteStep::OpenTemporary) return failed();
  const int fd = ::openat(target.folder(), temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Error{ErrorKind::Failed, std::strerror(errno)};
  auto abandon = [&]() {
    ::close(fd);
    ::unlinkat(target.folder(), temp.c_str(), 0);
    return failed();
  };
  for (size_t written = 0; written < data.size();) {
    if (fault.step == WriteStep::WriteData && written == fault.afterBytes) return abandon();
    const size_t piece = std::min(kWritePiece, data.size() - written);
    if (::write(fd, data.data() + written, piece) != ssize_t(piece)) return abandon();
    written += piece;
  }
  if (fault.step == WriteStep::Flush || ::fsync(fd) != 0) return abandon();
  ::close(fd);
  if (fault.step == WriteStep::Close || fault.step == WriteStep::Rename) {
    ::unlinkat(target.folder(), temp.c_str(), 0);
    return failed();
  }
  if (::renameat(target.folder(), temp.c_str(), target.folder(), target.name().c_str()) != 0) return failed();
  return {};
}

}  // namespace orv::test
