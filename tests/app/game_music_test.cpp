// Which games load the synthesizer at start: those whose music is there to play.
#include <gtest/gtest.h>

#include "app/game_check.h"
#include "platform/game_folder.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

TEST(GameHoldsMusic, AMusicPackageThatIsThereOrLooseMidiFilesOneLevelDown) {
  TempDir plain;
  WriteGame(plain, {.scenario = {"\"a\"\\n"}});  // init.def names music.dat, which is not there
  plain.Write("readme.txt", "mid");
  plain.Write("a/b/deep.mid", "MThd");  // too deep to count
  EXPECT_FALSE(GameHoldsMusic(GameFolder(plain.path())));

  TempDir packaged;
  WriteGame(packaged, {.scenario = {"\"a\"\\n"}});
  packaged.Write("MUSIC.DAT", "package");  // found whatever its letter case
  EXPECT_TRUE(GameHoldsMusic(GameFolder(packaged.path())));

  TempDir loose;
  WriteGame(loose, {.scenario = {"\"a\"\\n"}});
  loose.Write("bgm/Title.MID", "MThd");
  EXPECT_TRUE(GameHoldsMusic(GameFolder(loose.path())));
}

}  // namespace
}  // namespace orv::test
