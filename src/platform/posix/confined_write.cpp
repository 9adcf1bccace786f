#include "platform/confined_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/sjis.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return std::generic_category().message(error); }

Error Refused(const fs::path& shown, const std::string& why) {
  return Error{ErrorKind::Refused, "cannot write " + shown.string() + ": " + why};
}
Error Failed(const fs::path& shown, int error) {
  return Error{ErrorKind::Failed, "cannot write " + shown.string() + ": " + Reason(error)};
}

// Closes a descriptor when it goes out of scope, unless it is handed on.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  ~Descriptor() { Reset(-1); }
  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }
  void Reset(int fd) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

bool UsablePart(const std::string& part) {
  return !part.empty() && part != "." && part != ".." && part.find('/') == std::string::npos &&
         part.find('\0') == std::string::npos;
}

// What the entry `name` of the folder is, without following it; nothing when it is missing.
std::optional<struct stat> EntryStatus(int folder, const std::string& name) {
  struct stat status {};
  if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return status;
}

// The name of the folder's entry that `part` means: the part itself when it is there, else an
// entry equal to it (or to its UTF-8 form) with ASCII letter case ignored. Writes are rare, so
// the folder is read through the descriptor every time rather than through any cached listing
// that could have been taken of some other folder by the same path.
std::optional<std::string> MatchingEntry(int folder, const std::string& part) {
  if (EntryStatus(folder, part)) return part;
  const std::string upper = AsciiUpper(part);
  const std::string upperUtf8 = AsciiUpper(Cp932ToUtf8(part));
  const int listed = dup(folder);
  if (listed < 0) return std::nullopt;
  DIR* dir = fdopendir(listed);
  if (!dir) {
    close(listed);
    return std::nullopt;
  }
  rewinddir(dir);
  std::optional<std::string> found, foundUtf8;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string nameUpper = AsciiUpper(name);
    if (nameUpper == upper) {
      found = name;
      break;
    }
    if (!foundUtf8 && nameUpper == upperUtf8) foundUtf8 = name;
  }
  closedir(dir);
  return found ? found : foundUtf8;
}

// Opens the folder entry `name` of `parent`, never through a link; `inside` names it from the
// write folder, for the reason of a refusal.
Result<Descriptor> OpenFolder(int parent, const std::string& name, const fs::path& inside, const fs::path& file) {
  Descriptor fd(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() >= 0) return fd;
  const int error = errno;
  if (error == ELOOP || error == ENOTDIR) {
    const auto status = EntryStatus(parent, name);
    if (status && S_ISLNK(status->st_mode))
      return Refused(file, "the folder " + inside.string() + " is a symbolic link");
    return Refused(file, inside.string() + " is not a folder");
  }
  return Failed(file, error);
}

bool ProcessRuns(long pid) {
  if (pid <= 0) return false;
  return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// The process that made a temporary file, from its name ("NAME.PID-COUNTER.orvane-tmp").
std::optional<long> MakerOf(std::string_view name) {
  name.remove_suffix(kTemporarySuffix.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view tail = name.substr(dot + 1);
  long pid = 0;
  const auto [end, error] = std::from_chars(tail.data(), tail.data() + tail.size(), pid);
  if (error != std::errc() || end == tail.data() || end == tail.data() + tail.size() || *end != '-')
    return std::nullopt;
  return pid;
}

bool IsTemporaryName(std::string_view name) {
  return name.size() > kTemporarySuffix.size() && name.ends_with(kTemporarySuffix);
}

// A folder tree is walked this deep and this wide at the most: start-up must stay quick
// whatever a game folder holds.
constexpr int kLeftoverDepth = 4;
constexpr size_t kLeftoverEntries = 20000;

void RemoveLeftoversIn(int folder, int depth, size_t& seen, size_t& removed) {
  const int listed = dup(folder);
  if (listed < 0) return;
  DIR* dir = fdopendir(listed);
  if (!dir) {
    close(listed);
    return;
  }
  while (const dirent* entry = readdir(dir)) {
    if (++seen > kLeftoverEntries) break;
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const auto status = EntryStatus(folder, name);
    if (!status) continue;
    if (S_ISREG(status->st_mode) && IsTemporaryName(name)) {
      const auto maker = MakerOf(name);
      if (maker && ProcessRuns(*maker)) continue;
      if (unlinkat(folder, name.c_str(), 0) == 0) ++removed;
    } else if (S_ISDIR(status->st_mode) && depth + 1 < kLeftoverDepth) {
      Descriptor sub(openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (sub.get() >= 0) RemoveLeftoversIn(sub.get(), depth + 1, seen, removed);
    }
  }
  closedir(dir);
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

// A name beside the target that no one else uses: made up from the process, the time and the
// attempt, and claimed with O_EXCL, so that neither a second player nor a planted file or link
// can be written through.
int CreateTemporaryBeside(const ConfinedTarget& target, std::string& temp) {
  const auto now = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  int error = EEXIST;
  for (uint64_t attempt = 0; attempt < 64 && error == EEXIST; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld-%llx%s", long(getpid()),
                  static_cast<unsigned long long>(now * 31 + attempt), kTemporarySuffix.data());
    temp = target.name() + suffix;
    const int fd = openat(target.folder(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    error = errno;
  }
  errno = error;
  return -1;
}

}  // namespace

ConfinedTarget::ConfinedTarget(ConfinedTarget&& other) noexcept
    : folder_(std::exchange(other.folder_, -1)), name_(std::move(other.name_)), shown_(std::move(other.shown_)) {}

ConfinedTarget& ConfinedTarget::operator=(ConfinedTarget&& other) noexcept {
  if (this != &other) {
    if (folder_ >= 0) close(folder_);
    folder_ = std::exchange(other.folder_, -1);
    name_ = std::move(other.name_);
    shown_ = std::move(other.shown_);
  }
  return *this;
}

ConfinedTarget::~ConfinedTarget() {
  if (folder_ >= 0) close(folder_);
}

Result<ConfinedTarget> PlaceBeneath(const fs::path& root, std::span<const std::string> parts) {
  fs::path shown = root;
  for (const std::string& part : parts) shown /= part;
  if (parts.empty()) return Refused(shown, "no file name");
  for (const std::string& part : parts)
    if (!UsablePart(part)) return Refused(shown, "not a name inside the folder");

  // The root is where the user keeps the files, links and all; it is made when missing.
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    fs::create_directories(root, ec);
    if (ec) return Error{ErrorKind::Failed, "cannot make the folder " + root.string() + ": " + ec.message()};
  }
  Descriptor folder(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() < 0) return Failed(shown, errno);

  fs::path inside;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    std::optional<std::string> entry = MatchingEntry(folder.get(), parts[i]);
    if (!entry) {
      // Missing: made under the name the game gave. Someone making it at the same moment is fine.
      if (mkdirat(folder.get(), parts[i].c_str(), 0755) != 0 && errno != EEXIST) return Failed(shown, errno);
      entry = parts[i];
    }
    inside /= *entry;
    Result<Descriptor> next = OpenFolder(folder.get(), *entry, inside, shown);
    if (!next) return next.error();
    folder = std::move(*next);
  }

  std::string name = MatchingEntry(folder.get(), parts.back()).value_or(parts.back());
  shown = root / inside / name;
  if (const auto status = EntryStatus(folder.get(), name)) {
    if (S_ISLNK(status->st_mode)) return Refused(shown, "the file is a symbolic link");
    if (!S_ISREG(status->st_mode)) return Refused(shown, "not a plain file");
  }
  return ConfinedTarget(folder.Release(), std::move(name), std::move(shown));
}

Result<void> ReplaceAt(const ConfinedTarget& target, ByteSpan data) {
  std::string temp;
  const int fd = CreateTemporaryBeside(target, temp);
  if (fd < 0) return Failed(target.shown(), errno);
  auto fail = [&](int error) -> Result<void> {
    unlinkat(target.folder(), temp.c_str(), 0);
    return Failed(target.shown(), error);
  };
  if (const auto old = EntryStatus(target.folder(), target.name()); old && S_ISREG(old->st_mode))
    fchmod(fd, old->st_mode & 07777);
  if (!WriteFully(fd, data) || fsync(fd) != 0) {
    const int error = errno;
    close(fd);
    return fail(error);
  }
  if (close(fd) != 0) return fail(errno);
  if (renameat(target.folder(), temp.c_str(), target.folder(), target.name().c_str()) != 0) return fail(errno);
  // Makes the rename itself survive a power cut; a folder that cannot be synced changes nothing
  // about the outcome.
  fsync(target.folder());
  return {};
}

Result<void> WriteBeneath(const fs::path& root, std::span<const std::string> parts, ByteSpan data) {
  Result<ConfinedTarget> target = PlaceBeneath(root, parts);
  if (!target) return target.error();
  return ReplaceAt(*target, data);
}

size_t RemoveLeftoverTemporaries(const fs::path& root) {
  Descriptor folder(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() < 0) return 0;
  size_t seen = 0, removed = 0;
  RemoveLeftoversIn(folder.get(), 0, seen, removed);
  return removed;
}

}  // namespace orv
