#pragma once
// What the player asks of the operating system beyond reading files: replacing a file without
// ever leaving half of it, one player per game folder, and handing things to the desktop's
// opener. Each system has its own implementation (posix/ for Linux and the BSDs); failures come
// back as Result errors whose message a message box can show.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

// Replaces (or creates) `path` with `data`. The bytes go to a new temporary file beside it,
// which is flushed to the disk and then renamed over the old file, so a crash, a full disk or
// a failed call leaves either the old file or the new one, never a mixture. An existing file
// keeps its permissions. A symbolic link at `path` is replaced, never followed.
Result<void> WriteFileAtomically(const std::filesystem::path& path, ByteSpan data);

// One player per game folder: an advisory lock on a file named for the folder's real path,
// held while this object lives and dropped by the system however the process ends.
class SingleInstanceLock {
 public:
  enum class State {
    Held,           // this object holds the lock
    HeldElsewhere,  // another player (or another lock object) holds it
    Unavailable,    // there is nowhere to keep a lock: the player runs anyway
  };

  // A player in a window holds its game alone. Headless runs share the folder with each other
  // (tests and scripts run many at once) but never with a player in a window.
  enum class Sharing { Alone, WithOtherHeadlessRuns };

  static SingleInstanceLock ForGameFolder(const std::filesystem::path& gameFolder, Sharing sharing = Sharing::Alone);
  // The lock on this very file.
  static SingleInstanceLock OnFile(const std::filesystem::path& lockFile, Sharing sharing = Sharing::Alone);

  SingleInstanceLock(SingleInstanceLock&& other) noexcept;
  SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
  ~SingleInstanceLock();

  State state() const { return state_; }
  // False only when another player holds the folder.
  bool MayRun() const { return state_ != State::HeldElsewhere; }

 private:
  SingleInstanceLock(int handle, State state) : handle_(handle), state_(state) {}
  int handle_ = -1;
  State state_ = State::Unavailable;
};

// $XDG_RUNTIME_DIR/orvane-HASH.lock, or /tmp/orvane-UID-HASH.lock without it; HASH is taken
// from the game folder's real path, so every way of naming the folder finds the same lock.
std::filesystem::path SingleInstanceLockPath(const std::filesystem::path& gameFolder);

// What may be handed to the desktop's opener: an http or https address as it stands, or an
// existing file inside the game folder (as an absolute real path). Nothing for everything else.
std::optional<std::string> ExternalOpenArgument(std::string_view target, const std::filesystem::path& gameRoot);

// Starts the desktop's opener (xdg-open) on web addresses and files of the game folder, without
// a shell and without waiting for it, and collects the openers that have ended.
class DesktopOpener {
 public:
  explicit DesktopOpener(std::string program = "xdg-open") : program_(std::move(program)) {}
  DesktopOpener(const DesktopOpener&) = delete;
  DesktopOpener& operator=(const DesktopOpener&) = delete;
  ~DesktopOpener();

  // Fails, and starts nothing, for targets ExternalOpenArgument refuses.
  Result<void> Open(std::string_view target, const std::filesystem::path& gameRoot);
  // Collects the openers that have ended, so they do not linger.
  void Reap();
  size_t Running() const { return children_.size(); }

 private:
  std::string program_;
  std::vector<int> children_;
};

}  // namespace orv
