// Where files go, and that no failed write ever damages the file it was replacing.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "persist/failing_writer.h"
#include "persist/slot_files.h"
#include "platform/write_folder.h"
#include "support/test_support.h"

namespace orv {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

TEST(WriteFolder, ChoosesTheSaveDirThenTheGameFolderThenAFolderOfItsOwn) {
  const fs::path game = "/games/My Game";
  EXPECT_EQ(WriteFolder::Choose(game, fs::path("/tmp/saves"), false, fs::path("/home/u/.local/share")), "/tmp/saves");
  EXPECT_EQ(WriteFolder::Choose(game, std::nullopt, true, fs::path("/data")), game);
  const fs::path own = WriteFolder::Choose(game, std::nullopt, false, fs::path("/data"));
  EXPECT_EQ(own.parent_path(), "/data/orvane");
  const std::string name = own.filename().string();
  ASSERT_EQ(name.size(), std::string("My Game-").size() + 8);
  EXPECT_EQ(name.substr(0, 8), "My Game-");
  EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 8), std::string::npos);
  // The same folder always gets the same name; another folder of the same name another one.
  EXPECT_EQ(WriteFolder::FolderNameFor(game), name);
  EXPECT_NE(WriteFolder::FolderNameFor("/other/My Game"), name);
  // Without a data folder the game folder stays the choice (and its writes fail).
  EXPECT_EQ(WriteFolder::Choose(game, std::nullopt, false, std::nullopt), game);
}

TEST(WriteFolder, ReadsHereFirstThenTheGameFolderAndMakesItsFolderOnTheFirstWrite) {
  TempDir game, data;
  game.Write("DATA_1.DAT", "shipped");
  game.Write("only.dat", "game");
  const GameFolder gameFolder(game.path());
  const WriteFolder folder(gameFolder, data.path() / "orvane" / "g-00000000");
  EXPECT_EQ(folder.ReadAll("data_1.dat"), Bytes({'s', 'h', 'i', 'p', 'p', 'e', 'd'}));
  EXPECT_FALSE(fs::exists(folder.path()));

  ASSERT_TRUE(folder.Write("Data_1.dat", Bytes{'n', 'e', 'w'}));
  EXPECT_TRUE(fs::is_regular_file(folder.path() / "Data_1.dat"));
  EXPECT_EQ(folder.ReadAll("data_1.dat"), Bytes({'n', 'e', 'w'}));
  EXPECT_EQ(game.Read("DATA_1.DAT"), "shipped");  // the game's own file is left alone
  EXPECT_EQ(folder.ReadPrefix("ONLY.DAT", 2), Bytes({'g', 'a'}));

  // A name with folders makes them; names that leave the folder are refused.
  ASSERT_TRUE(folder.Write("save\\flags.dat", Bytes{1}));
  EXPECT_TRUE(fs::is_regular_file(folder.path() / "save" / "flags.dat"));
  for (const char* outside : {"../escape.dat", "/etc/escape.dat", "C:\\escape.dat", ""}) {
    const Result<void> refused = folder.Write(outside, Bytes{1});
    EXPECT_FALSE(refused.ok()) << outside;
    EXPECT_FALSE(refused.error().message.empty()) << outside;
  }
  EXPECT_FALSE(fs::exists(data.path() / "orvane" / "escape.dat"));
}

TEST(WriteFolder, AFolderThatCannotBeMadeFailsWithItsReason) {
  TempDir game;
  game.Write("blocker", "a file where a folder would go");
  const GameFolder gameFolder(game.path());
  const WriteFolder folder(gameFolder, game.path() / "blocker" / "saves");
  const Result<void> outcome = folder.Write("Data_0.dat", Bytes{1, 2});
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.error().message.find("blocker"), std::string::npos) << outcome.error().message;
  EXPECT_EQ(game.Read("blocker"), "a file where a folder would go");
}

size_t FilesIn(const fs::path& folder) {
  return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(SlotFiles, AFailedSaveAtEveryStepKeepsThePreviousSlotWhole) {
  TempDir game;
  const GameFolder gameFolder(game.path());
  WriteFolder folder(gameFolder, game.path());
  const SlotFiles slots(folder);
  SceneState first;
  first.scenarioName.Set("story.txt");
  first.readPosition = 10;
  const Bytes strings(11000, 1), numeric(6144, 2);
  ASSERT_TRUE(slots.Save(2, LocalTime{2024, 5, 6, 7, 8, 9}, "first", first, strings, numeric));
  const std::string previous = game.Read("Data_2.dat");
  ASSERT_EQ(previous.size(), 19464u);

  SceneState second = first;
  second.readPosition = 99;
  const auto points = test::EveryFaultPoint(19464);
  ASSERT_EQ(points.size(), 9u);  // open, five pieces, flush, close, rename
  for (const test::FaultPoint& point : points) {
    for (int error : {ENOSPC, EIO}) {
      folder.SetReplace([&](const ConfinedTarget& target, ByteSpan data) {
        return test::WriteFailingAt(point, error, target, data);
      });
      const Result<void> outcome =
          slots.Save(2, LocalTime{2025, 1, 1, 0, 0, 0}, "second", second, Bytes(11000, 3), Bytes(6144, 4));
      EXPECT_FALSE(outcome.ok());
      EXPECT_NE(outcome.error().message.find(std::strerror(error)), std::string::npos) << outcome.error().message;
      EXPECT_EQ(game.Read("Data_2.dat"), previous);
      EXPECT_EQ(slots.Captions()[2], "2: 2024 05/06 07:08:09\x81\x40" "first");
      EXPECT_EQ(FilesIn(game.path()), 1u);  // no temporary file stays behind
    }
  }

  // The player's own replacement: a temporary file left by a save that was killed does not
  // stand in the way, and the new slot replaces the old one whole.
  folder.SetReplace(ReplaceAt);
  game.Write("Data_2.dat.1234-5.orvane-tmp", "half a save");
  ASSERT_TRUE(slots.Save(2, LocalTime{2025, 1, 1, 0, 0, 0}, "second", second, Bytes(11000, 3), Bytes(6144, 4)));
  EXPECT_EQ(slots.Captions()[2], "2: 2025 01/01 00:00:00\x81\x40" "second");
  EXPECT_EQ(game.Read("Data_2.dat").size(), 19464u);
  EXPECT_EQ(FilesIn(game.path()), 2u);
}

TEST(SlotFiles, SavingAndLoadingReachTheSameFileWhateverTheLetterCase) {
  TempDir game;
  const GameFolder gameFolder(game.path());
  const WriteFolder folder(gameFolder, game.path());
  const SlotFiles slots(folder);
  EXPECT_EQ(slots.Captions()[0], std::nullopt);
  EXPECT_EQ(slots.Read("data_0.dat"), std::nullopt);
  ASSERT_TRUE(slots.Save(0, LocalTime{}, "", SceneState{}, {}, {}));
  EXPECT_TRUE(fs::exists(game.path() / "Data_0.dat"));
  EXPECT_EQ(slots.Read("data_0.dat")->size(), 19464u);

  // Both spellings present: a save replaces the one loading reads.
  game.Write("data_5.dat", "old");
  game.Write("Data_5.dat", "other");
  ASSERT_TRUE(slots.Save(5, LocalTime{2024, 1, 2, 3, 4, 5}, "", SceneState{}, {}, {}));
  EXPECT_EQ(slots.Captions()[5], "5: 2024 01/02 03:04:05\x81\x40");
  EXPECT_EQ(game.Read("Data_5.dat"), "other");

  // A longer file loads as its first 19464 bytes.
  game.Write("data_6.dat", std::string(20000, 'x'));
  EXPECT_EQ(slots.Read("data_6.dat")->size(), 19464u);
}

}  // namespace
}  // namespace orv
