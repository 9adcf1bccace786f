// A folder is walked again only when someone else changed it, and then at most once in a
// while; the player's own writes keep its listing whole without a walk.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "platform/folder_listings.h"
#include "platform/game_folder.h"
#include "platform/write_folder.h"
#include "support/test_support.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Find(FolderListings& listings, const fs::path& dir, const std::string& name) {
  return listings.Find(dir, name, name);
}

TEST(FolderListings, OwnWritesKeepTheListingAndOthersChangesAreSeenAtABoundedCost) {
  test::TempDir dir;
  dir.Write("Pic.bmp", "x");
  FolderListings listings;
  // The folder changed just now, so its listing is not settled.
  ASSERT_EQ(Find(listings, dir.path(), "PIC.BMP"), dir.path() / "Pic.bmp");
  EXPECT_EQ(listings.WalkCount(), 1u);
  // Missing names in a folder that has not settled cost no walk for a while ...
  for (int i = 0; i < 50; ++i) EXPECT_FALSE(Find(listings, dir.path(), "NONE.BMP"));
  EXPECT_EQ(listings.WalkCount(), 1u);

  // ... and the player's own write is taken in without one.
  dir.Write("Save01.dat", "s");
  listings.NoteWritten(dir.path(), "Save01.dat");
  EXPECT_EQ(Find(listings, dir.path(), "SAVE01.DAT"), dir.path() / "Save01.dat");
  EXPECT_EQ(Find(listings, dir.path(), "PIC.BMP"), dir.path() / "Pic.bmp");
  EXPECT_EQ(listings.WalkCount(), 1u);

  // Someone else's change shows at once: the folder's time moved past what the listing knows.
  dir.Write("Other.txt", "o");
  EXPECT_EQ(Find(listings, dir.path(), "OTHER.TXT"), dir.path() / "Other.txt");
  EXPECT_EQ(listings.WalkCount(), 2u);
  // Once the interval has passed, an unsettled folder is walked again for a missing name.
  std::this_thread::sleep_for(FolderListings::kRelistInterval + std::chrono::milliseconds(50));
  EXPECT_FALSE(Find(listings, dir.path(), "NONE.BMP"));
  EXPECT_EQ(listings.WalkCount(), 3u);
}

TEST(FolderListings, SavesThroughTheWriteFolderReachTheGamesOwnLookups) {
  test::TempDir dir;
  dir.Write("init.def", "x");
  const GameFolder game(dir.path());
  const WriteFolder saves(game, dir.path());
  ASSERT_TRUE(game.FindFile("INIT.DEF"));
  ASSERT_TRUE(saves.Write("Save02.dat", Bytes{1, 2, 3}));
  // Found in another letter case straight after the write, and the file holds what was written.
  const auto found = game.FindFile("save02.DAT");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->filename(), "Save02.dat");
  EXPECT_EQ(game.ReadAll("SAVE02.dat"), (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace orv
