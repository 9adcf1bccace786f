// A game names the files it writes; none of those names may reach a file outside the folder
// the player writes into, however the game folder is laid out with links.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <map>

#include "persist/slot_files.h"
#include "platform/confined_write.h"
#include "platform/write_folder.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
const char* const kWriteFailed = "ファイルを保存できませんでした：　";

// Every entry below `root` with what it holds (files), points to (links) or nothing (folders).
std::map<std::string, std::string> TreeOf(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).string();
    if (entry.is_symlink())
      tree[name] = "-> " + fs::read_symlink(entry.path()).string();
    else if (entry.is_regular_file())
      tree[name] =
          std::string(std::istreambuf_iterator<char>(std::ifstream(entry.path(), std::ios::binary).rdbuf()), {});
    else
      tree[name] = "/";
  }
  return tree;
}

// A game folder with links leading out of it (a folder, a file, a save slot, the settings file)
// and one folder link that stays inside it.
struct LinkedGame {
  TempDir game, outside;
  explicit LinkedGame(std::vector<std::string> scenario) {
    WriteGame(game, {.scenario = std::move(scenario)});
    outside.Write("victim.dat", "precious");
    outside.Write("slot.dat", "precious slot");
    outside.Write("ini", "precious settings");
    game.Write("real/keep.txt", "inside");
    fs::create_directory_symlink(outside.path(), game.path() / "sub");
    fs::create_symlink(outside.path() / "victim.dat", game.path() / "victim.dat");
    fs::create_symlink(outside.path() / "slot.dat", game.path() / "Data_3.dat");
    fs::create_symlink(outside.path() / "ini", game.path() / "orvane.ini");
    fs::create_directory_symlink(game.path() / "real", game.path() / "inner");
  }
};

TEST(ConfinedWrites, EveryWritePathRefusesNamesThroughLinksAndTheGameGoesOn) {
  LinkedGame linked({"~PSAVE \"sub/victim.dat\"", "~PSAVE \"SUB/deeper/new.dat\"", "~PSAVE \"victim.dat\"",
                     "~PSAVE \"inner/x.dat\"", "~PSAVE \"..\\escape.dat\"", "~PSAVE \"/tmp/orvane-escape.dat\"",
                     "~PSAVE \"saves/flags.dat\"", "\"after\"\\n", "\"next\"\\n"});
  const auto outsideBefore = TreeOf(linked.outside.path());
  const auto realBefore = TreeOf(linked.game.path() / "real");
  HeadlessResult run =
      RunHeadlessGame(linked.game.path(), {"menu SaveDat3", "menu SaveDat4", "menu N2", "savefile sub/screen.bmp",
                                           "menu N2", "savefile ok.bmp", "menu N5"});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  EXPECT_EQ(TreeOf(linked.outside.path()), outsideBefore);
  EXPECT_EQ(TreeOf(linked.game.path() / "real"), realBefore);
  EXPECT_FALSE(fs::exists("/tmp/orvane-escape.dat"));
  EXPECT_FALSE(fs::exists(linked.game.path().parent_path() / "escape.dat"));
  // The links themselves are left as they were, and the writes that stay inside happened.
  for (const char* link : {"sub", "victim.dat", "Data_3.dat", "orvane.ini", "inner"})
    EXPECT_TRUE(fs::is_symlink(linked.game.path() / link)) << link;
  EXPECT_EQ(fs::file_size(linked.game.path() / "saves" / "flags.dat"), 17144u);
  EXPECT_EQ(fs::file_size(linked.game.path() / "Data_4.dat"), 19464u);
  EXPECT_TRUE(fs::is_regular_file(linked.game.path() / "ok.bmp"));

  // Each refusal is one message naming the file and why; the story went on past them.
  const std::vector<std::string> messages = run.Messages();
  std::vector<std::string> failures;
  for (const std::string& m : messages)
    if (m.rfind(kWriteFailed, 0) == 0) failures.push_back(m.substr(std::string(kWriteFailed).size()));
  ASSERT_EQ(failures.size(), 9u) << run.out;  // six PSAVEs, slot 3, the screen, orvane.ini at the end
  EXPECT_NE(failures[0].find("victim.dat: the folder sub is a symbolic link"), std::string::npos) << failures[0];
  EXPECT_NE(failures[1].find("new.dat: the folder sub is a symbolic link"), std::string::npos) << failures[1];
  EXPECT_NE(failures[2].find("victim.dat: the file is a symbolic link"), std::string::npos) << failures[2];
  EXPECT_NE(failures[3].find("x.dat: the folder inner is a symbolic link"), std::string::npos) << failures[3];
  EXPECT_NE(failures[4].find("escape.dat: not a name inside the folder"), std::string::npos) << failures[4];
  EXPECT_NE(failures[6].find("Data_3.dat: the file is a symbolic link"), std::string::npos) << failures[6];
  EXPECT_NE(failures[7].find("screen.bmp: the folder sub is a symbolic link"), std::string::npos) << failures[7];
  EXPECT_NE(failures[8].find("orvane.ini: the file is a symbolic link"), std::string::npos) << failures[8];
  EXPECT_NE(std::find(messages.begin(), messages.end(), "保存完了しました。"), messages.end());
}

TEST(ConfinedWrites, NamesMatchInAnyLetterCaseAndTheRootMayBeALink) {
  TempDir top;
  top.Write("real/Saves/Flags.DAT", "old");
  fs::create_directory_symlink(top.path() / "real", top.path() / "alias");
  const GameFolder game(top.path() / "alias");
  const WriteFolder folder(game, top.path() / "alias");  // the user's folder, named through a link
  ASSERT_TRUE(folder.Write("saves\\flags.dat", Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(top.Read("real/Saves/Flags.DAT"), "new");
  ASSERT_TRUE(folder.Write("Saves/other/deep.dat", Bytes{1}));
  EXPECT_EQ(top.Read("real/Saves/other/deep.dat"), "\x01");
  // A file where a folder must be, and a folder where the file must be.
  EXPECT_NE(folder.Write("saves/flags.dat/x", Bytes{1}).error().message.find("is not a folder"), std::string::npos);
  EXPECT_NE(folder.Write("saves", Bytes{1}).error().message.find("not a plain file"), std::string::npos);
  // A saved screen the person names with an absolute path is theirs to choose.
  ASSERT_TRUE(folder.WriteChosen(top.path() / "screen.bmp", Bytes{2}));
  EXPECT_EQ(top.Read("screen.bmp"), "\x02");
  EXPECT_FALSE(folder.WriteChosen("a/../../escape.bmp", Bytes{2}));
  EXPECT_FALSE(fs::exists(top.path() / "escape.bmp"));
}

TEST(ConfinedWrites, LeftoverTemporariesOfDeadPlayersGoAtTheNextStart) {
  TempDir top;
  const std::string own = ".x." + std::to_string(getpid()) + "-1f.orvane-tmp";
  top.Write("game/Data_0.dat.999999999-2a.orvane-tmp", "half a save");
  top.Write("game/saves/flags.dat.999999999-2b.orvane-tmp", "half a file");
  top.Write("game/saves/flags.dat" + own, "a write still under way");
  top.Write("game/notes.orvane-tmp.txt", "not ours");
  top.Write("outside/x.dat.999999999-2c.orvane-tmp", "someone else's");
  fs::create_directory_symlink(top.path() / "outside", top.path() / "game" / "linked");
  EXPECT_EQ(RemoveLeftoverTemporaries(top.path() / "game"), 2u);
  EXPECT_FALSE(fs::exists(top.path() / "game/Data_0.dat.999999999-2a.orvane-tmp"));
  EXPECT_FALSE(fs::exists(top.path() / "game/saves/flags.dat.999999999-2b.orvane-tmp"));
  EXPECT_TRUE(fs::exists(top.path() / ("game/saves/flags.dat" + own)));
  EXPECT_TRUE(fs::exists(top.path() / "game/notes.orvane-tmp.txt"));
  EXPECT_TRUE(fs::exists(top.path() / "outside/x.dat.999999999-2c.orvane-tmp"));
}

TEST(ConfinedWrites, AHeadlessRunDoesNotWriteUnderAPlayerInAWindow) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"\"a\"\\n"}});
  {
    const SingleInstanceLock window = SingleInstanceLock::ForGameFolder(dir.path());
    ASSERT_EQ(window.state(), SingleInstanceLock::State::Held);
    HeadlessResult refused = RunHeadlessGame(dir.path(), {"menu SaveDat0"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("already running in a window"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(dir.path() / "Data_0.dat"));
  }
  // Headless runs share the folder with each other.
  const SingleInstanceLock other =
      SingleInstanceLock::ForGameFolder(dir.path(), SingleInstanceLock::Sharing::WithOtherHeadlessRuns);
  EXPECT_EQ(RunHeadlessGame(dir.path(), {"menu SaveDat0"}).exitCode, 0);
  EXPECT_TRUE(fs::exists(dir.path() / "Data_0.dat"));
  EXPECT_FALSE(SingleInstanceLock::ForGameFolder(dir.path()).MayRun());
}

}  // namespace
}  // namespace orv::test
