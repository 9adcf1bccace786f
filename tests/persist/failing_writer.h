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

#include "platform/os.h"

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

inline OsStatus WriteFailingAt(const FaultPoint& fault, int error, const std::filesystem::path& file, ByteSpan data) {
  const std::filesystem::path temp = std::filesystem::path(file) += ".failing.orvane-tmp";
  auto failed = [&]() { return OsStatus::Failed("cannot write " + file.string() + ": " + std::strerror(error)); };
  if (fault.step == WriteStep::OpenTemporary) return failed();
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return OsStatus::Failed(std::strerror(errno));
  auto abandon = [&]() {
    ::close(fd);
    ::unlink(temp.c_str());
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
    ::unlink(temp.c_str());
    return failed();
  }
  if (std::rename(temp.c_str(), file.c_str()) != 0) return failed();
  return OsStatus::Ok();
}

}  // namespace orv::test
