// The zenity chooser against stand-in programs, and the order in which choosers are asked.
#include "platform/folder_chooser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/test_support.h"

namespace orv {
namespace {

using test::TempDir;
using Outcome = FolderChoice::Outcome;

// A stand-in for zenity: records its arguments, prints `answer` and ends with `code`.
std::string FakeZenity(const TempDir& dir, const std::string& answer, int code) {
  const std::string path = (dir.path() / "fake-zenity").string();
  dir.Write("fake-zenity", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + (dir.path() / "args").string() + "\"\nprintf '" +
                               answer + "'\nexit " + std::to_string(code) + "\n");
  chmod(path.c_str(), 0755);
  return path;
}

TEST(ZenityFolderChooser, TellsChosenCancelledAndMissingApart) {
  TempDir dir;
  int kept = 0;
  const FolderChooser::KeepAlive alive = [&] { return ++kept > 0; };
  ZenityFolderChooser chosen(FakeZenity(dir, "/home/me/my games/森\\n", 0));
  const FolderChoice choice = chosen.ChooseFolder("Open a game folder", alive);
  EXPECT_EQ(choice.outcome, Outcome::Chosen);
  EXPECT_EQ(choice.folder, "/home/me/my games/森");
  EXPECT_EQ(dir.Read("args"), "--file-selection\n--directory\n--title=Open a game folder\n");

  EXPECT_EQ(ZenityFolderChooser(FakeZenity(dir, "", 1)).ChooseFolder("t", alive).outcome, Outcome::Cancelled);
  // Zenity that cannot open its window ends otherwise: the next way is tried.
  EXPECT_EQ(ZenityFolderChooser(FakeZenity(dir, "", 255)).ChooseFolder("t", alive).outcome, Outcome::Unavailable);
  EXPECT_EQ(ZenityFolderChooser(FakeZenity(dir, "\\n", 0)).ChooseFolder("t", alive).outcome, Outcome::Unavailable);
  const FolderChoice missing = ZenityFolderChooser((dir.path() / "no-such-program").string()).ChooseFolder("t", alive);
  EXPECT_EQ(missing.outcome, Outcome::Unavailable);
  EXPECT_NE(missing.why.find("no-such-program"), std::string::npos) << missing.why;
}

// A window that closes while the chooser is up takes the chooser away and chooses nothing.
TEST(ZenityFolderChooser, GoesAwayWhenTheWindowCloses) {
  TempDir dir;
  dir.Write("slow", "#!/bin/sh\nexec sleep 30\n");
  chmod((dir.path() / "slow").c_str(), 0755);
  int calls = 0;
  const FolderChoice choice =
      ZenityFolderChooser((dir.path() / "slow").string()).ChooseFolder("t", [&] { return ++calls < 3; });
  EXPECT_EQ(choice.outcome, Outcome::Cancelled);
  EXPECT_EQ(calls, 3);
}

struct Scripted final : FolderChooser {
  explicit Scripted(FolderChoice given) : answer(std::move(given)) {}
  FolderChoice ChooseFolder(std::string_view, const KeepAlive&) override {
    ++asked;
    return answer;
  }
  FolderChoice answer;
  int asked = 0;
};

TEST(FirstAvailableChooser, AsksOnlyUntilAChooserIsThere) {
  std::vector<std::unique_ptr<FolderChooser>> choosers;
  choosers.push_back(std::make_unique<Scripted>(FolderChoice{Outcome::Unavailable, {}, "no portal"}));
  choosers.push_back(std::make_unique<Scripted>(FolderChoice{Outcome::Cancelled, {}, {}}));
  choosers.push_back(std::make_unique<Scripted>(FolderChoice{Outcome::Chosen, "/x", {}}));
  Scripted& last = static_cast<Scripted&>(*choosers.back());
  FirstAvailableChooser chain(std::move(choosers));
  EXPECT_EQ(chain.ChooseFolder("t", {}).outcome, Outcome::Cancelled);
  EXPECT_EQ(last.asked, 0);

  std::vector<std::unique_ptr<FolderChooser>> none;
  none.push_back(std::make_unique<Scripted>(FolderChoice{Outcome::Unavailable, {}, "no portal"}));
  none.push_back(std::make_unique<Scripted>(FolderChoice{Outcome::Unavailable, {}, "no zenity"}));
  const FolderChoice nothing = FirstAvailableChooser(std::move(none)).ChooseFolder("t", {});
  EXPECT_EQ(nothing.outcome, Outcome::Unavailable);
  EXPECT_EQ(nothing.why, "no portal; no zenity");
}

}  // namespace
}  // namespace orv
