#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/folder_chooser.h"

extern char** environ;

namespace orv {

namespace {
constexpr int kKeepAliveMs = 40;
// A folder name is short; anything past this is not zenity's answer.
constexpr size_t kLongestAnswer = size_t(64) * 1024;

FolderChoice Unavailable(std::string why) {
  return FolderChoice{FolderChoice::Outcome::Unavailable, {}, std::move(why)};
}
}  // namespace

FolderChoice ZenityFolderChooser::ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return Unavailable("no pipe for " + program_);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  // GTK's warnings (no dconf, no accessibility bus) are zenity's business, not the player's.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const std::string title = "--title=" + std::string(utf8Title);
  std::vector<std::string> words{program_, "--file-selection", "--directory", title};
  std::vector<char*> args;
  args.reserve(words.size() + 1);
  for (std::string& word : words) args.push_back(word.data());
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawnError = posix_spawnp(&pid, program_.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawnError != 0) {
    close(out[0]);
    return Unavailable("cannot start " + program_ + ": " + std::generic_category().message(spawnError));
  }
  std::string answer;
  bool closing = false;
  for (;;) {
    pollfd readable{out[0], POLLIN, 0};
    const int ready = poll(&readable, 1, kKeepAliveMs);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) {
      if (keepAlive && !keepAlive()) {
        kill(pid, SIGTERM);
        closing = true;
        break;
      }
      continue;
    }
    char buffer[4096];
    const ssize_t got = read(out[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (answer.size() < kLongestAnswer) answer.append(buffer, size_t(got));
  }
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  if (closing) return FolderChoice{FolderChoice::Outcome::Cancelled, {}, {}};
  if (!WIFEXITED(status)) return Unavailable(program_ + " ended abnormally");
  const int code = WEXITSTATUS(status);
  while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
  if (code == 0 && !answer.empty() && answer.size() < kLongestAnswer)
    return FolderChoice{FolderChoice::Outcome::Chosen, std::filesystem::path(answer), {}};
  // 1 is the cancel button or the closed window; anything else is a chooser that could not show.
  if (code == 1) return FolderChoice{FolderChoice::Outcome::Cancelled, {}, {}};
  return Unavailable(program_ + " ended with code " + std::to_string(code));
}

}  // namespace orv
