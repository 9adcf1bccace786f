#include "sound/cd_tracks.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace orv {
namespace {

TEST(CdTracks, NamesThatAreTrackFiles) {
  EXPECT_EQ(CdTrackNumber("track02.ogg"), 2);
  EXPECT_EQ(CdTrackNumber("Track2.FLAC"), 2);
  EXPECT_EQ(CdTrackNumber("TRACK_7.mp3"), 7);
  EXPECT_EQ(CdTrackNumber("track_012.wav"), 12);
  for (const char* name : {"track.ogg", "track02.mid", "track02", "track0x.ogg", "track00.ogg", "track100.ogg",
                           "mytrack02.ogg", "track__2.ogg", "track-2.ogg", "track02.ogg.bak"})
    EXPECT_FALSE(CdTrackNumber(name)) << name;
}

TEST(CdTracks, ScansTheFolderAndItsCdFolders) {
  test::TempDir dir;
  dir.Write("track02.ogg", "x");
  dir.Write("Track03.MP3", "x");
  dir.Write("readme.txt", "x");
  dir.Write("CDDA/track_5.flac", "x");
  dir.Write("cd/track03.wav", "x");  // the game folder's own track 3 comes first
  dir.Write("cd/track04.wav", "x");
  dir.Write("cd/track04.ogg", "x");  // preferred to the wave
  dir.Write("music/track09.ogg", "x");

  const CdTrackSet set = CdTrackSet::Scan(GameFolder(dir.path()));
  EXPECT_EQ(set.TrackCount(), 5);
  EXPECT_FALSE(set.FileFor(1));
  EXPECT_EQ(set.FileFor(2), dir.path() / "track02.ogg");
  EXPECT_EQ(set.FileFor(3), dir.path() / "Track03.MP3");
  EXPECT_EQ(set.FileFor(4), dir.path() / "cd" / "track04.ogg");
  EXPECT_EQ(set.FileFor(5), dir.path() / "CDDA" / "track_5.flac");
  EXPECT_FALSE(set.FileFor(9));
  EXPECT_FALSE(set.FileFor(-1));

  test::TempDir empty;
  EXPECT_EQ(CdTrackSet::Scan(GameFolder(empty.path())).TrackCount(), 0);
  EXPECT_EQ(CdTrackSet::Scan(GameFolder(empty.path() / "missing")).TrackCount(), 0);
}

TEST(CdTracks, TrackFilesLinkedFromOutsideTheGameAreNotPlayed) {
  test::TempDir dir;
  dir.Write("elsewhere/track02.ogg", "x");
  dir.Write("game/track03.ogg", "x");
  std::filesystem::create_symlink(dir.path() / "elsewhere" / "track02.ogg", dir.path() / "game" / "track02.ogg");
  std::filesystem::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "game" / "cd");
  const CdTrackSet set = CdTrackSet::Scan(GameFolder(dir.path() / "game"));
  EXPECT_FALSE(set.FileFor(2));
  EXPECT_TRUE(set.FileFor(3));
}

TEST(CdTracks, BrokenLinksDoNotHideTheTracksListedAfterThem) {
  // The folder lists its entries in an order of its own: with a broken link among every few
  // files, some track comes after one.
  test::TempDir dir;
  for (int i = 1; i <= 12; ++i) {
    const std::string track = "track" + std::to_string(i) + ".ogg";
    if (i % 3 == 0) {
      dir.Write(track, "x");
    } else {
      std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / (i % 2 ? track : "cover" + track));
    }
  }
  const CdTrackSet set = CdTrackSet::Scan(GameFolder(dir.path()));
  for (int i : {3, 6, 9, 12}) EXPECT_TRUE(set.FileFor(i)) << i;
  EXPECT_FALSE(set.FileFor(1));
}

}  // namespace
}  // namespace orv
