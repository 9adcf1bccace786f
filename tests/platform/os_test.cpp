#include "platform/os.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/test_support.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WriteFileAtomically, ReplacesTheFileAndKeepsItsPermissions) {
  test::TempDir dir;
  const fs::path file = dir.path() / "data_0.dat";
  ASSERT_TRUE(WriteFileAtomically(file, Bytes{1, 2, 3}));
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  const Result<void> second = WriteFileAtomically(file, Bytes{4});
  ASSERT_TRUE(second) << second.error().message;
  EXPECT_EQ(dir.Read("data_0.dat"), "\x04");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"data_0.dat"});  // no temporary left behind
}

TEST(WriteFileAtomically, AFailureKeepsWhatWasThereAndSaysWhy) {
  test::TempDir dir;
  dir.Write("slot/keep.txt", "old");
  // A folder cannot be replaced by a file: the rename fails after the data was written.
  const Result<void> overFolder = WriteFileAtomically(dir.path() / "slot", Bytes{1});
  EXPECT_FALSE(overFolder);
  EXPECT_NE(overFolder.error().message.find((dir.path() / "slot").string()), std::string::npos)
      << overFolder.error().message;
  EXPECT_EQ(dir.Read("slot/keep.txt"), "old");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"slot"});

  const Result<void> noFolder = WriteFileAtomically(dir.path() / "missing" / "x.dat", Bytes{1});
  EXPECT_FALSE(noFolder);
  EXPECT_FALSE(noFolder.error().message.empty());
}

TEST(WriteFileAtomically, ReplacesALinkInsteadOfWritingThroughIt) {
  test::TempDir dir;
  dir.Write("outside.txt", "precious");
  fs::create_symlink(dir.path() / "outside.txt", dir.path() / "save.dat");
  ASSERT_TRUE(WriteFileAtomically(dir.path() / "save.dat", Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(dir.Read("outside.txt"), "precious");
  EXPECT_FALSE(fs::is_symlink(dir.path() / "save.dat"));
  EXPECT_EQ(dir.Read("save.dat"), "new");
}

TEST(SingleInstanceLock, OnePlayerPerGameFolderHoweverItIsNamed) {
  test::TempDir runtime;
  ASSERT_EQ(setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1), 0);
  test::TempDir games;
  fs::create_directories(games.path() / "a");
  fs::create_directories(games.path() / "b");
  fs::create_directory_symlink(games.path() / "a", games.path() / "alias");

  EXPECT_EQ(SingleInstanceLockPath(games.path() / "a").parent_path(), runtime.path());
  EXPECT_EQ(SingleInstanceLockPath(games.path() / "a"), SingleInstanceLockPath(games.path() / "alias" / "."));
  EXPECT_NE(SingleInstanceLockPath(games.path() / "a"), SingleInstanceLockPath(games.path() / "b"));
  {
    SingleInstanceLock first = SingleInstanceLock::ForGameFolder(games.path() / "a");
    EXPECT_EQ(first.state(), SingleInstanceLock::State::Held);
    const SingleInstanceLock again = SingleInstanceLock::ForGameFolder(games.path() / "alias");
    EXPECT_EQ(again.state(), SingleInstanceLock::State::HeldElsewhere);
    EXPECT_FALSE(again.MayRun());
    const SingleInstanceLock other = SingleInstanceLock::ForGameFolder(games.path() / "b");
    EXPECT_EQ(other.state(), SingleInstanceLock::State::Held);
    // A moved lock is still held.
    const SingleInstanceLock moved = std::move(first);
    EXPECT_FALSE(SingleInstanceLock::ForGameFolder(games.path() / "a").MayRun());
  }
  EXPECT_EQ(SingleInstanceLock::ForGameFolder(games.path() / "a").state(), SingleInstanceLock::State::Held);
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(SingleInstanceLockPath(games.path() / "a").parent_path(), fs::path("/tmp"));
}

TEST(SingleInstanceLock, NoPlaceForALockLetsThePlayerRun) {
  test::TempDir dir;
  const SingleInstanceLock noFolder = SingleInstanceLock::OnFile(dir.path() / "missing" / "x.lock");
  EXPECT_EQ(noFolder.state(), SingleInstanceLock::State::Unavailable);
  EXPECT_TRUE(noFolder.MayRun());
  // A link planted where the lock file goes is not followed.
  dir.Write("target", "x");
  fs::create_symlink(dir.path() / "target", dir.path() / "planted.lock");
  EXPECT_EQ(SingleInstanceLock::OnFile(dir.path() / "planted.lock").state(), SingleInstanceLock::State::Unavailable);
}

TEST(ExternalOpen, OnlyWebAddressesAndFilesOfTheGameFolder) {
  test::TempDir dir;
  dir.Write("game/readme.txt", std::string("hi"));
  dir.Write("outside.txt", std::string("no"));
  const auto root = dir.path() / "game";
  fs::create_symlink(dir.path() / "outside.txt", root / "link.txt");
  EXPECT_EQ(ExternalOpenArgument("https://example.org/a?b=c", root), "https://example.org/a?b=c");
  EXPECT_EQ(ExternalOpenArgument("HTTP://example.org", root), "HTTP://example.org");
  EXPECT_EQ(ExternalOpenArgument("readme.txt", root), fs::canonical(root / "readme.txt").string());
  EXPECT_FALSE(ExternalOpenArgument("../outside.txt", root));
  EXPECT_FALSE(ExternalOpenArgument("link.txt", root));
  EXPECT_FALSE(ExternalOpenArgument((dir.path() / "outside.txt").string(), root));
  EXPECT_FALSE(ExternalOpenArgument("missing.txt", root));
  EXPECT_FALSE(ExternalOpenArgument("file:///etc/passwd", root));
  EXPECT_FALSE(ExternalOpenArgument("javascript:alert(1)", root));
  EXPECT_FALSE(ExternalOpenArgument("https://evil\n--help", root));
  EXPECT_FALSE(ExternalOpenArgument("", root));
}

TEST(DesktopOpener, StartsTheOpenerAndCollectsItOrSaysWhyNot) {
  test::TempDir dir;
  DesktopOpener opener("true");
  ASSERT_TRUE(opener.Open("https://example.org", dir.path()));
  EXPECT_EQ(opener.Running(), 1u);
  for (int i = 0; i < 200 && opener.Running() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    opener.Reap();
  }
  EXPECT_EQ(opener.Running(), 0u);

  const Result<void> refused = opener.Open("file:///etc/passwd", dir.path());
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.error().kind, ErrorKind::Refused);
  EXPECT_FALSE(refused.error().message.empty());
  DesktopOpener missing("orvane-no-such-opener");
  const Result<void> notStarted = missing.Open("https://example.org", dir.path());
  EXPECT_FALSE(notStarted);
  EXPECT_EQ(notStarted.error().kind, ErrorKind::Failed);
  EXPECT_NE(notStarted.error().message.find("orvane-no-such-opener"), std::string::npos) << notStarted.error().message;
  EXPECT_EQ(missing.Running(), 0u);
}

}  // namespace
}  // namespace orv
