// Symbolic links in a game folder: followed while they stay inside it, a missing file otherwise,
// and never a reason for the player to stop.
#include <gtest/gtest.h>

#include "platform/game_folder.h"
#include "support/test_support.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

void ExpectMissing(const GameFolder& folder, std::string_view name) {
  EXPECT_FALSE(folder.Find(name)) << name;
  EXPECT_FALSE(folder.IsRegularFile(name)) << name;
  EXPECT_FALSE(folder.ReadAll(name)) << name;
  EXPECT_FALSE(folder.ReadRange(name, 0, 4)) << name;
  EXPECT_FALSE(folder.FileSize(name)) << name;
}

TEST(GameFolderLinks, LoopsReadAsMissingFiles) {
  test::TempDir dir;
  fs::create_symlink("self.dat", dir.path() / "self.dat");
  fs::create_directory_symlink("b", dir.path() / "a");
  fs::create_directory_symlink("a", dir.path() / "b");
  const GameFolder folder(dir.path());
  ExpectMissing(folder, "self.dat");
  ExpectMissing(folder, "SELF.DAT");
  ExpectMissing(folder, "a/x.txt");
  ExpectMissing(folder, "a");
}

TEST(GameFolderLinks, LinksLeadingOutsideAreMissingFiles) {
  test::TempDir dir;
  dir.Write("secret.txt", "secret");
  dir.Write("game/init.def", "x");
  const fs::path root = dir.path() / "game";
  fs::create_symlink(dir.path() / "secret.txt", root / "notes.txt");
  fs::create_directory_symlink(dir.path(), root / "up");
  const GameFolder folder(root);
  ExpectMissing(folder, "notes.txt");
  ExpectMissing(folder, "up/secret.txt");
  EXPECT_FALSE(folder.Holds(root / "notes.txt"));
  EXPECT_TRUE(folder.Holds(root / "init.def"));
}

TEST(GameFolderLinks, LinksInsideTheFolderAndALinkedFolderStillWork) {
  test::TempDir dir;
  dir.Write("real/bg/room.bmp", "room");
  dir.Write("real/saves/data_0.dat", "old");
  fs::create_directory_symlink(dir.path() / "real", dir.path() / "game");
  fs::create_symlink("bg/room.bmp", dir.path() / "real" / "alias.bmp");
  fs::create_symlink("saves/data_0.dat", dir.path() / "real" / "slot.dat");
  const GameFolder folder(dir.path() / "game");  // the game folder itself named through a link
  EXPECT_EQ(folder.ReadAll("Alias.bmp"), (Bytes{'r', 'o', 'o', 'm'}));
  EXPECT_EQ(folder.FileSize("bg/room.bmp"), 4u);
  EXPECT_TRUE(folder.Find("bg"));
  EXPECT_FALSE(folder.FindFile("bg"));  // a folder is no file to read
  EXPECT_EQ(folder.ReadAll("SLOT.DAT"), (Bytes{'o', 'l', 'd'}));
}

TEST(GameFolderLinks, LookingForManyNamesAtOnceFindsWhatEachLookUpFinds) {
  test::TempDir dir;
  dir.Write("secret.txt", "secret");
  dir.Write("game/Bg.BMP", "b");
  dir.Write("game/cg/A.bmp", "a");
  dir.Write("game/\xE7\xB5\xB5.bmp", "e");  // a Shift-JIS name stored in its UTF-8 form
  const fs::path root = dir.path() / "game";
  fs::create_symlink(dir.path() / "secret.txt", root / "out.txt");
  fs::create_symlink("Bg.BMP", root / "in.bmp");
  const std::vector<std::string> names = {"bg.bmp", "BG.BMP", "cg\\a.bmp", "missing.bmp", "out.txt",
                                          "in.bmp", "../secret.txt", "\x8A\x47.bmp", "", "cg"};
  // Twice: the first time lists the folder, the second uses the listing.
  const GameFolder folder(root);
  for (int round = 0; round < 2; ++round) {
    const auto found = folder.FindEach(names);
    ASSERT_EQ(found.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(found[i], GameFolder(root).Find(names[i])) << names[i];
  }
  EXPECT_EQ(folder.FindEach(names)[0], fs::canonical(root / "Bg.BMP"));
  EXPECT_FALSE(folder.FindEach(names)[4]);
}

}  // namespace
}  // namespace orv
