#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <system_error>

#include "platform/os.h"

extern char** environ;

namespace orv {

DesktopOpener::~DesktopOpener() { Reap(); }

Result<void> DesktopOpener::Open(std::string_view target, const std::filesystem::path& gameRoot) {
  Reap();
  const auto argument = ExternalOpenArgument(target, gameRoot);
  if (!argument) return Error{ErrorKind::Refused, "not a web address or a file of the game: " + std::string(target)};
  std::vector<char*> args{const_cast<char*>(program_.c_str()), const_cast<char*>(argument->c_str()), nullptr};
  pid_t pid = 0;
  if (const int error = posix_spawnp(&pid, program_.c_str(), nullptr, nullptr, args.data(), environ); error != 0)
    return Error{ErrorKind::Failed, "cannot start " + program_ + ": " + std::generic_category().message(error)};
  children_.push_back(pid);
  return {};
}

void DesktopOpener::Reap() {
  std::erase_if(children_, [](int pid) {
    int status = 0;
    const pid_t reaped = waitpid(pid, &status, WNOHANG);
    return reaped == pid || reaped < 0;
  });
}

}  // namespace orv
