// The start screen of a run without a game folder, driven headless, and the list of recent
// games it keeps in the player's settings file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "app/headless_run.h"
#include "app/player_settings.h"
#include "app/recent_games.h"
#include "app/start_screen.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_host.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

// The button's middle on the 640 x 480 screen.
constexpr const char* kClickOpen = "click 320 420";

// A headless run with no game folder named, from the test's own folder (which is no game).
HeadlessResult RunStartScreen(const TempDir& scratch, const std::vector<std::string>& events,
                              std::vector<std::string> extraArgs = {}) {
  std::string text;
  for (const std::string& e : events) text += e + "\n";
  scratch.Write("start.events", text);
  std::vector<std::string> args{"--headless", "--events", (scratch.path() / "start.events").string()};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  HeadlessResult result;
  Result<CommandLine> parsed = ParseCommandLine(args);
  EXPECT_TRUE(parsed);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  result.exitCode = RunHeadless(*parsed, out, err);
  for (std::FILE* file : {out, err}) {
    std::rewind(file);
    std::string& into = file == out ? result.out : result.err;
    for (int c; (c = std::fgetc(file)) != EOF;) into.push_back(char(c));
    std::fclose(file);
  }
  return result;
}

bool HasLine(const HeadlessResult& run, const std::string& line) {
  const std::vector<std::string> lines = run.Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

nlohmann::json StartDump(const TempDir& scratch, const std::string& name) {
  std::ifstream in(scratch.path() / name);
  return in ? nlohmann::json::parse(in, nullptr, false)["startScreen"] : nlohmann::json();
}

class StartScreenRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(fs::exists("init.def")) << "the tests' own folder must be no game";
    WriteGame(game, {.scenario = {"~TITLE \"森の館\"", "\"ようこそ\"\\n"}});
    config = (scratch.path() / "orvane.toml").string();
  }
  std::string At(const std::string& name) const { return (scratch.path() / name).string(); }

  TempDir scratch, game, notGame;
  std::string config;
};

// A folder without init.def is refused on the screen, which stays; the chooser's next folder
// starts the game, which then heads the list with the title it showed.
TEST_F(StartScreenRun, RefusesAFolderThatIsNoGameThenStartsTheChosenOne) {
  scratch.Write("orvane.toml", "# mine\n[display]\nscaling = \"fit\"  # sharp enough\n");
  HeadlessResult run = RunStartScreen(scratch,
                                      {kClickOpen, "folder " + notGame.path().string(), "dump " + At("refused.json"),
                                       "key o", "folder " + game.path().string(), "click"},
                                      {"--config", config});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(HasLine(run, "note: This folder holds no init.def, so it is not a game: " + notGame.path().string()))
      << run.out;
  const nlohmann::json refused = StartDump(scratch, "refused.json");
  EXPECT_EQ(refused["problem"], "This folder holds no init.def, so it is not a game:\n" + notGame.path().string());
  EXPECT_EQ(refused["recent"], nlohmann::json::array());
  // The game ran in the same run: its title and its text.
  EXPECT_TRUE(HasLine(run, "caption: 森の館　【Orvane Ver 2.12】")) << run.out;

  const std::string settings = scratch.Read("orvane.toml");
  Result<SettingsFile> kept = SettingsFile::Parse(settings);
  ASSERT_TRUE(kept) << settings;
  EXPECT_EQ(kept->settings.scaling, "fit") << settings;
  const RecentGames recent = RecentGames::FromSettingsText(settings);
  ASSERT_EQ(recent.games().size(), 1u) << settings;
  EXPECT_EQ(recent.games()[0].folder, fs::canonical(game.path()).string());
  EXPECT_EQ(recent.games()[0].caption, "森の館");
}

// The list comes from the settings file; a game whose folder went away says so and stays
// listed, the keyboard reaches the next one, and the game played moves to the top.
TEST_F(StartScreenRun, OpensRecentGamesByKeyboardAndKeepsTheListInOrder) {
  const std::string gone = fs::weakly_canonical(scratch.path() / "gone").string();
  RecentGames list;
  list.Played(game.path(), "森の館");
  list.Played(gone, "Lost");
  scratch.Write("orvane.toml", *list.WriteInto(""));
  HeadlessResult run = RunStartScreen(
      scratch, {"dump " + At("first.json"), "key enter", "key down", "dump " + At("second.json"), "key enter"},
      {"--config", config});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json first = StartDump(scratch, "first.json");
  ASSERT_EQ(first["recent"].size(), 2u) << first;
  EXPECT_EQ(first["recent"][0]["caption"], "Lost");
  EXPECT_EQ(first["focus"], 0);
  const nlohmann::json second = StartDump(scratch, "second.json");
  EXPECT_EQ(second["problem"], "This folder does not exist:\n" + gone);
  EXPECT_EQ(second["focus"], 1);
  EXPECT_TRUE(HasLine(run, "caption: 森の館　【Orvane Ver 2.12】")) << run.out;

  const RecentGames after = RecentGames::FromSettingsText(scratch.Read("orvane.toml"));
  ASSERT_EQ(after.games().size(), 2u);
  EXPECT_EQ(after.games()[0].caption, "森の館");
  EXPECT_EQ(after.games()[1].folder, gone);
}

// Without a chooser the path field asks; a cancelled field leaves the screen as it was, a
// typed init.def opens its folder. Events that ran out on the screen end the run cleanly.
TEST_F(StartScreenRun, FallsBackToAPathFieldWhenThereIsNoChooser) {
  HeadlessResult idle = RunStartScreen(scratch, {kClickOpen, "input-cancel", "dump " + At("idle.json")});
  EXPECT_EQ(idle.exitCode, 0);
  EXPECT_TRUE(HasLine(idle, "input: Orvane -> (cancel)")) << idle.out;
  EXPECT_EQ(StartDump(scratch, "idle.json")["problem"], "");
  EXPECT_FALSE(HasLine(idle, "caption: 森の館　【Orvane Ver 2.12】"));

  HeadlessResult typed = RunStartScreen(scratch, {kClickOpen, "input " + (game.path() / "INIT.DEF").string()});
  EXPECT_EQ(typed.exitCode, 0) << typed.err;
  EXPECT_TRUE(HasLine(typed, "caption: 森の館　【Orvane Ver 2.12】")) << typed.out;
  // No --config: a headless run writes no settings.
  EXPECT_FALSE(fs::exists(config));

  HeadlessResult cancelled = RunStartScreen(scratch, {"key enter", "folder-cancel", "dump " + At("c.json")});
  EXPECT_EQ(StartDump(scratch, "c.json")["focus"], "open");
  EXPECT_FALSE(HasLine(cancelled, "input: Orvane -> (cancel)")) << "a cancelled chooser asks nothing more";

  HeadlessResult bad = RunStartScreen(scratch, {"click 10"});
  EXPECT_EQ(bad.exitCode, 2);
}

// The window that stays on top steps back while the chooser is up, and comes back after.
TEST(ChooserInFront, TheWindowLeavesTheTopOnlyWhileAChooserIsUp) {
  struct Watching final : FolderChooser {
    explicit Watching(const HeadlessHost& h) : host(h) {}
    FolderChoice ChooseFolder(std::string_view, const KeepAlive&) override {
      onTopWhileUp = host.stayOnTop;
      return FolderChoice{FolderChoice::Outcome::Cancelled, {}, {}};
    }
    const HeadlessHost& host;
    bool onTopWhileUp = true;
  };
  HeadlessClock clock;
  HeadlessHost host(nullptr, nullptr, clock);
  Watching chooser(host);
  EXPECT_EQ(ChooserInFront(chooser, host, true).ChooseFolder("t", {}).outcome, FolderChoice::Outcome::Cancelled);
  EXPECT_FALSE(chooser.onTopWhileUp);
  EXPECT_TRUE(host.stayOnTop);
}

TEST(RecentGamesFile, ReplacesItsOwnBlockAndKeepsEverythingElse) {
  const std::string text =
      "# my settings\n"
      "[recent]  # kept by the player\n"
      "games = [ { folder = \"/old\", caption = \"Old\" } ]\n"
      "\n"
      "[volume]\n"
      "midi = [1, 2]  # quiet\n";
  RecentGames recent = RecentGames::FromSettingsText(text);
  ASSERT_EQ(recent.games().size(), 1u);
  recent.Played("/games/new \"one\"", "");
  const std::optional<std::string> written = recent.WriteInto(text);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written,
            "# my settings\n"
            "[recent]\ngames = [\n"
            "  { folder = \"/games/new \\\"one\\\"\", caption = \"new \\\"one\\\"\" },\n"
            "  { folder = \"/old\", caption = \"Old\" },\n"
            "]\n"
            "\n"
            "[volume]\n"
            "midi = [1, 2]  # quiet\n");
  // The player's other settings write the file through the TOML library, which lays the list
  // out its own way: it still reads, and is still replaced whole.
  Result<SettingsFile> settings = SettingsFile::Parse(*written);
  ASSERT_TRUE(settings);
  const std::string relaid = settings->Serialize(settings->settings);
  const RecentGames again = RecentGames::FromSettingsText(relaid);
  ASSERT_EQ(again.games().size(), 2u) << relaid;
  const std::optional<std::string> rewritten = again.WriteInto(relaid);
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(RecentGames::FromSettingsText(*rewritten).games().size(), 2u);
  EXPECT_EQ(rewritten->find("[recent]"), rewritten->rfind("[recent]")) << *rewritten;

  // Text that is no TOML, or where the block cannot be put without changing other keys, is
  // never written.
  EXPECT_FALSE(recent.WriteInto("[volume\n"));
  EXPECT_FALSE(recent.WriteInto("recent = 3\n"));
}

TEST(RecentGamesFile, KeepsTenGamesOnceEachWithTheirCaptions) {
  RecentGames recent;
  for (int i = 0; i < 12; ++i) recent.Played("/g/" + std::to_string(i), "Game " + std::to_string(i));
  ASSERT_EQ(recent.games().size(), RecentGames::kMaxGames);
  EXPECT_EQ(recent.games().front().folder, "/g/11");
  EXPECT_EQ(recent.games().back().folder, "/g/2");
  recent.Played("/g/5/", "");  // the same folder, written another way, with no title this time
  EXPECT_EQ(recent.games().size(), RecentGames::kMaxGames);
  EXPECT_EQ(recent.games().front().folder, "/g/5");
  EXPECT_EQ(recent.games().front().caption, "Game 5");

  EXPECT_EQ(GameTitleFromCaption("森の館　【Orvane Ver 2.12】", "Orvane Ver 2.12"), "森の館");
  EXPECT_EQ(GameTitleFromCaption("Orvane Ver 2.12", "Orvane Ver 2.12"), "");
  EXPECT_EQ(GameTitleFromCaption("Plain", "Orvane Ver 2.12"), "Plain");
}

// A settings file that is a link stays a link: the file it names is updated.
TEST(RecentGamesFile, WritesThroughALinkAndLeavesBrokenFilesAlone) {
  TempDir dir;
  dir.Write("real/orvane.toml", "[speech]\nenabled = true\n");
  fs::create_symlink(dir.path() / "real" / "orvane.toml", dir.path() / "link.toml");
  ASSERT_TRUE(RememberGame(dir.path() / "link.toml", "/games/a", "A", nullptr));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.toml"));
  EXPECT_EQ(LoadRecentGames(dir.path() / "real" / "orvane.toml").games().size(), 1u);

  dir.Write("broken.toml", "not = [toml\n");
  std::FILE* messages = std::tmpfile();
  EXPECT_FALSE(RememberGame(dir.path() / "broken.toml", "/games/a", "A", messages));
  EXPECT_EQ(dir.Read("broken.toml"), "not = [toml\n");
  EXPECT_GT(std::ftell(messages), 0);
  std::fclose(messages);
}

}  // namespace
}  // namespace orv::test
