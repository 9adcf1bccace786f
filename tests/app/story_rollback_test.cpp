// A point that cannot be put back (its scenario file has gone) leaves the running game and the
// ring exactly as they were, in either direction; once the file is back, the same step works.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/state_dump.h"
#include "support/player_session.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

struct Standing {
  nlohmann::json dump;
  Image window;
};

Standing Observe(const Player& player) { return {DumpState(player), player.stage().WindowPicture()}; }

void ExpectUnchanged(const Standing& before, const Player& player, const char* step) {
  const Standing now = Observe(player);
  EXPECT_EQ(now.dump, before.dump) << step;
  EXPECT_TRUE(now.window.bytes().size() == before.window.bytes().size() &&
              std::equal(now.window.bytes().begin(), now.window.bytes().end(), before.window.bytes().begin()))
      << step;
}

TEST(StoryRollback, APointThatCannotBePutBackChangesNothingAndTheRingStays) {
  TempDir game, saves;
  WriteGame(game, {.scenario = {"!n:0!", "\"一行目\"\\n", "~MATH n=n+1", "\"二行目\"\\n", "~MATH n=n+1",
                                "\"三行目\"\\n", "\"四行目\"\\n"}});
  const std::string scenario = game.Read("story.txt");
  FontRenderer fonts;
  Session s(game.path(), saves.path(), fonts);
  s.Play(2);
  ASSERT_GE(s.player.rollback().position(), 2u);

  std::filesystem::remove(game.path() / "story.txt");
  const Standing atNewest = Observe(s.player);
  EXPECT_FALSE(s.player.StepBack());
  ExpectUnchanged(atNewest, s.player, "back");

  game.Write("story.txt", scenario);
  ASSERT_TRUE(s.player.StepBack()) << "the same step works with the file back";
  ASSERT_TRUE(s.player.StepBack());
  ASSERT_EQ(s.player.rollback().ahead(), 2u);

  std::filesystem::remove(game.path() / "story.txt");
  const Standing steppedBack = Observe(s.player);
  EXPECT_FALSE(s.player.StepForward());
  ExpectUnchanged(steppedBack, s.player, "forward");

  game.Write("story.txt", scenario);
  EXPECT_TRUE(s.player.StepForward());
  EXPECT_EQ(s.player.rollback().ahead(), 1u);
}

}  // namespace
}  // namespace orv::test
