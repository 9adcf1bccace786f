// Save slots, variable files, the save hooks, the settings file, returning to the title and
// saving the screen, through the headless player.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "persist/slot_file.h"
#include "sound/smf_writer.h"
#include "logic/logic_play.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

const std::vector<std::string> kDate = {"--date", "2024-05-06 07:08:09"};
const char* const kWriteFailed = "ファイルを保存できませんでした：　";

// The byte offset at which line `index` of the scenario starts.
int32_t LineOffset(const std::vector<std::string>& scenario, size_t index) {
  return int32_t(Sjis(CrLf(std::vector<std::string>(scenario.begin(), scenario.begin() + long(index)))).size());
}

const json& Var(const json& dump, const std::string& name) {
  static const json none;
  for (const auto& v : dump["numericVariables"])
    if (v["name"] == name) return v["value"];
  return none;
}

std::string Caption(const json& dump, const std::string& item) { return dump["menu"][item]["caption"]; }

// The line typed last on the current history page.
std::string LastTypedLine(const json& dump) {
  const json& page = dump["history"][dump["pageIndex"].get<size_t>()];
  const int count = page["lineCount"];
  return count > 0 ? page["lines"][size_t(count - 1)] : json("");
}

Bytes HandBuiltSlot(std::string_view scenarioName, int32_t readPosition, std::string_view background = "") {
  Bytes file(19464, 0);
  const std::string caption = "2: hand made";
  std::copy(caption.begin(), caption.end(), file.begin());
  std::copy(scenarioName.begin(), scenarioName.end(), file.begin() + 256);
  std::copy(background.begin(), background.end(), file.begin() + 256 + 80);
  PutI32LE(&file[256 + 1300], -1);  // no sound effect
  PutI32LE(&file[256 + 1308], -1);  // no CD
  PutI32LE(&file[256 + 2016], readPosition);
  const std::string name = "hp";
  std::copy(name.begin(), name.end(), file.begin() + 13320);
  PutI32LE(&file[13320 + 20], 7);
  return file;
}

TEST(SaveSlots, WithoutFilesEveryCaptionIsTheFormsAndLoadingChangesNothing) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"!hp:1!", "\"a\"\\n", "\"b\"\\n"}});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"dump before.json", "menu LoadDat3", "dump after.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json before = ReadDump(dir, "before.json"), after = ReadDump(dir, "after.json");
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ(Caption(before, "SaveDat" + std::to_string(n)), std::to_string(n) + ": ---- --/-- --:--:--");
    EXPECT_EQ(Caption(before, "LoadDat" + std::to_string(n)), std::to_string(n) + ": ---- --/-- --:--:--");
  }
  EXPECT_TRUE(before["menu"]["Save"]["enabled"]);
  EXPECT_TRUE(before["menu"]["Load"]["enabled"]);
  EXPECT_EQ(before["SceneState"], after["SceneState"]);
  EXPECT_EQ(before["scriptOffset"], after["scriptOffset"]);
  EXPECT_EQ(before["history"], after["history"]);
  EXPECT_TRUE(run.Messages().empty());
}

TEST(SaveSlots, SaveStoresTheSavePointAndLoadResumesThere) {
  const std::vector<std::string> scenario = {
      "~DATALOG \"第一章\"", "!hp:10!", "\"一頁目\"\\p", "\"二頁目\"\\n", "!hp:20!", "\"二行目\"\\n",
      "\"二頁目の終わり\"\\p", "!hp:30!", "\"三頁目\"\\n"};
  TempDir dir;
  WriteGame(dir, {.scenario = scenario});
  HeadlessResult run = RunHeadlessGame(
      dir.path(),
      {"click", "menu SaveDat0", "dump saved.json", "click", "menu SaveDat1", "click", "click", "dump later.json",
       "menu LoadDat0", "dump loaded.json"},
      0, kDate);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.Messages().empty()) << run.out;

  const std::string file0 = dir.Read("Data_0.dat"), file1 = dir.Read("Data_1.dat");
  ASSERT_EQ(file0.size(), 19464u);
  const std::string caption = Sjis("0: 2024 05/06 07:08:09　第一章");
  EXPECT_EQ(file0.substr(0, caption.size() + 1), caption + '\0');
  EXPECT_EQ(file0.substr(caption.size(), 256 - caption.size()), std::string(256 - caption.size(), '\0'));
  const int32_t page2 = LineOffset(scenario, 3);
  EXPECT_EQ(GetI32LE(reinterpret_cast<const uint8_t*>(&file0[256 + 2016])), page2);
  EXPECT_EQ(file0.substr(13320, 3), std::string("hp\0", 3));
  EXPECT_EQ(GetI32LE(reinterpret_cast<const uint8_t*>(&file0[13340])), 10);
  // Saving again without a new save point: the same scene, the newer variables.
  EXPECT_EQ(file1.substr(256, 2064), file0.substr(256, 2064));
  EXPECT_EQ(GetI32LE(reinterpret_cast<const uint8_t*>(&file1[13340])), 20);

  json saved = ReadDump(dir, "saved.json");
  EXPECT_EQ(Caption(saved, "SaveDat0"), "0: 2024 05/06 07:08:09　第一章");
  EXPECT_EQ(Caption(saved, "LoadDat0"), "0: 2024 05/06 07:08:09　第一章");
  EXPECT_EQ(Caption(saved, "SaveDat1"), "1: ---- --/-- --:--:--");

  json later = ReadDump(dir, "later.json"), loaded = ReadDump(dir, "loaded.json");
  EXPECT_EQ(Var(later, "hp"), 30);
  EXPECT_EQ(Var(loaded, "hp"), 10);
  EXPECT_EQ(loaded["SavePointState"]["readPosition"], page2);
  EXPECT_EQ(loaded["SceneState"]["slotComment"], "第一章");
  // Loading advances at once: the saved page's first line is typed again.
  EXPECT_EQ(loaded["scriptOffset"], LineOffset(scenario, 4));
  EXPECT_EQ(LastTypedLine(loaded), "二頁目");
}

TEST(SaveSlots, ASaveBeforeTheFirstPageEndsResumesAtTheTopOfTheGame) {
  const std::vector<std::string> scenario = {"\"一\"\\n", "\"二\"\\p", "\"三\"\\p", "\"四\"\\n"};
  TempDir dir;
  WriteGame(dir, {.scenario = scenario});
  // Slot 0 at the start; slot 1 right after a return to the title from the third page.
  HeadlessResult run = RunHeadlessGame(dir.path(),
                                       {"menu SaveDat0", "click", "click", "click", "menu N1", "answer yes",
                                        "menu SaveDat1", "click", "click", "menu LoadDat0", "dump first.json", "click",
                                        "click", "menu LoadDat1", "dump second.json"},
                                       0, kDate);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* name : {"Data_0.dat", "Data_1.dat"}) {
    const std::string file = dir.Read(name);
    ASSERT_EQ(file.size(), 19464u) << name;
    EXPECT_EQ(file.substr(256, 10), std::string("story.txt") + '\0') << name;
    EXPECT_EQ(GetI32LE(reinterpret_cast<const uint8_t*>(&file[256 + 2016])), 0) << name;
  }
  for (const char* dump : {"first.json", "second.json"}) {
    json loaded = ReadDump(dir, dump);
    EXPECT_EQ(LastTypedLine(loaded), "一") << dump;
    EXPECT_EQ(loaded["scriptOffset"], LineOffset(scenario, 1)) << dump;
    EXPECT_EQ(loaded["SceneState"]["fontName"], "ＭＳ 明朝") << dump;
  }
}

TEST(SaveSlots, LoadingRestartsLoopingSoundsButNotOneShotEffects) {
  SmfTrack track;
  track.Note(0, 960, 0, 60, 100);
  const Bytes song = BuildSmf({track}, 96);
  const Bytes wave = BuildPcmWave(std::vector<int16_t>(22050 * 2), 22050, 1);
  TempDir dir;
  // Each save point stands on a page whose first line is text, so that the advance after a
  // load stops before the sounds change again.
  WriteGame(dir, {.scenario = {"~MIDIPLAY \"loop.mid\",1", "~WAVEPLAY \"rain.wav\",0", "\"a\"\\p", "\"b\"\\n",
                               "~MIDIPLAY \"once.mid\",0", "~WAVEPLAY \"chime.wav\",1", "\"c\"\\p", "\"d\"\\n", "~MIDISTOP",
                               "~WAVESTOP", "\"e\"\\n", "\"f\"\\n"}});
  for (const char* name : {"loop.mid", "once.mid"}) dir.Write(name, song);
  for (const char* name : {"rain.wav", "chime.wav"}) dir.Write(name, wave);
  HeadlessResult run = RunHeadlessGame(dir.path(), {"click", "menu SaveDat1", "click", "click", "menu SaveDat2", "click",
                                                    "dump quiet.json", "menu LoadDat1", "dump looped.json",
                                                    "menu LoadDat2", "dump once.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json quiet = ReadDump(dir, "quiet.json"), looped = ReadDump(dir, "looped.json"), once = ReadDump(dir, "once.json");
  EXPECT_FALSE(quiet["music"]["playing"]);
  EXPECT_EQ(looped["music"], (json{{"name", "loop.mid"}, {"playing", true}, {"loop", true}}));
  EXPECT_EQ(looped["wave"], (json{{"name", "rain.wav"}, {"playing", true}, {"loop", true}}));
  EXPECT_EQ(once["music"], (json{{"name", "once.mid"}, {"playing", true}, {"loop", false}}));
  EXPECT_FALSE(once["wave"]["playing"]);
}

TEST(SaveSlots, AHandBuiltSlotLoadsAndBrokenOnesKeepTheGame) {
  const std::vector<std::string> scenario = {"\"始め\"\\n", "\"二行目\"\\n", "*resume", "\"再開\"\\n", "\"続き\"\\n"};
  TempDir dir;
  WriteGame(dir, {.scenario = scenario});
  const int32_t resume = LineOffset(scenario, 3);
  dir.Write("data_2.dat", HandBuiltSlot("story.txt", resume));
  dir.Write("data_3.dat", HandBuiltSlot("gone.txt", 0));
  dir.Write("data_4.dat", HandBuiltSlot("story.txt", 100000));
  dir.Write("data_5.dat", HandBuiltSlot("story.txt", resume, "gone.bmp"));
  Bytes longer = HandBuiltSlot("story.txt", resume);
  longer.resize(25000, 0xFF);
  dir.Write("data_6.dat", longer);
  Bytes cut = HandBuiltSlot("story.txt", resume);
  cut.resize(256 + 2064 + 10);  // the variables are lost: they stay as the reset left them
  dir.Write("data_7.dat", cut);

  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"dump start.json", "menu LoadDat3", "menu LoadDat4", "dump kept.json", "menu LoadDat2",
                   "dump loaded.json", "menu LoadDat5", "dump nopicture.json", "menu LoadDat6", "dump longer.json",
                   "menu LoadDat7", "dump cut.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json start = ReadDump(dir, "start.json"), kept = ReadDump(dir, "kept.json");
  EXPECT_EQ(Caption(start, "LoadDat2"), "2: hand made");
  EXPECT_EQ(start["SceneState"], kept["SceneState"]);
  EXPECT_EQ(start["scriptOffset"], kept["scriptOffset"]);
  // A slot naming a scenario that is not there is a broken slot, not a broken game.
  EXPECT_EQ(run.Messages(), (std::vector<std::string>{"セーブデータが壊れているため、ロードできません。",
                                                      "セーブデータが壊れているため、ロードできません。",
                                                      "画像ファイルを読みこめませんでした：gone.bmp"}));
  for (const char* name : {"loaded.json", "nopicture.json", "longer.json"}) {
    json loaded = ReadDump(dir, name);
    EXPECT_EQ(Var(loaded, "hp"), 7) << name;
    EXPECT_EQ(loaded["scriptOffset"], LineOffset(scenario, 4)) << name;
    EXPECT_EQ(LastTypedLine(loaded), "再開") << name;
  }
  json cutDump = ReadDump(dir, "cut.json");
  EXPECT_TRUE(Var(cutDump, "hp").is_null());
  EXPECT_EQ(cutDump["SceneState"]["scenarioName"], "story.txt");
}

TEST(SaveHooks, PsaveWritesTheTablesAndPloadTakesOneVariableBackInAnotherGame) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"!ending:3!", "&hero:\"勇者\"&", "~PSAVE \"flags.dat\"", "!ending:0!",
                               "~PLOAD \"flags.dat\",!ending", "\"a\"\\p", "\"b\"\\n"}});
  HeadlessResult first = RunHeadlessGame(dir.path(), {"click", "menu SaveDat0", "dump first.json"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(Var(ReadDump(dir, "first.json"), "ending"), 3);
  const std::string flags = dir.Read("flags.dat");
  ASSERT_EQ(flags.size(), 17144u);
  EXPECT_EQ(flags, dir.Read("Data_0.dat").substr(2320));

  // A new game: the file carries the flag; a variable not yet defined cannot take it.
  WriteGame(dir, {.scenario = {"~PLOAD \"flags.dat\",!ending", "!ending:0!", "~PLOAD \"flags.dat\",!ending",
                               "&hero:\"\"&", "~PLOAD \"FLAGS.DAT\",&hero", "~PLOAD \"flags.dat\",&nobody",
                               "~PLOAD \"missing.dat\",!ending", "~PLOAD \"flags.dat\",ending", "\"a\"\\n"}});
  Played second{RunHeadlessGame(dir.path(), {"dump second.json"}), ReadDump(dir, "second.json")};
  EXPECT_EQ(second.Num("ending"), 3);
  EXPECT_EQ(second.Str("hero"), "勇者");
  EXPECT_EQ(second.run.Messages(), (std::vector<std::string>{"変数が指定されていません。", "文字列変数が存在しません。"}));
}

TEST(SaveHooks, SavepointMarksTheResumeLineAndOnsaveOnloadGreyTheMenus) {
  const std::vector<std::string> scenario = {"\"一\"\\p", "\"二\"\\n", "~SAVEPOINT", "~ONSAVE 0", "~ONLOAD 0",
                                             "\"三\"\\n", "~ONSAVE 5", "\"四\"\\n"};
  TempDir dir;
  WriteGame(dir, {.scenario = scenario});
  HeadlessResult run = RunHeadlessGame(
      dir.path(), {"click", "click", "dump greyed.json", "menu SaveDat0", "click", "dump saving.json", "menu SaveDat0"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  json greyed = ReadDump(dir, "greyed.json"), saving = ReadDump(dir, "saving.json");
  EXPECT_EQ(greyed["SavePointState"]["readPosition"], LineOffset(scenario, 3));
  EXPECT_FALSE(greyed["menu"]["Save"]["enabled"]);
  EXPECT_FALSE(greyed["menu"]["Load"]["enabled"]);
  EXPECT_TRUE(saving["menu"]["Save"]["enabled"]);
  EXPECT_FALSE(saving["menu"]["Load"]["enabled"]);
  // Only the save made while the menu was enabled exists, and it resumes after SAVEPOINT.
  const std::string file = dir.Read("Data_0.dat");
  ASSERT_EQ(file.size(), 19464u);
  EXPECT_EQ(GetI32LE(reinterpret_cast<const uint8_t*>(&file[256 + 2016])), LineOffset(scenario, 3));
}

TEST(SettingsFile, RemembersFullScreenPageModeWindowAndSpeed) {
  TempDir dir;
  GameSpec game{.scenario = {"\"a\"\\p", "\"b\"\\p"}};  // pages wait in page mode too
  game.speeds[4] = "90";
  WriteGame(dir, game);
  HeadlessResult first = RunHeadlessGame(dir.path(), {"dump first.json", "menu FullMode", "menu P1", "menu vol5", "menu N5"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  json fresh = ReadDump(dir, "first.json");
  EXPECT_EQ(fresh["window"], (json{{"left", 640}, {"top", 300}}));
  EXPECT_TRUE(fresh["menu"]["WindowMode"]["checked"]);
  EXPECT_TRUE(fresh["menu"]["vol3"]["checked"]);
  EXPECT_FALSE(fresh["menu"]["P1"]["checked"]);

  const std::string ini = dir.Read("orvane.ini");
  ASSERT_EQ(ini.size(), 20u);
  const auto* p = reinterpret_cast<const uint8_t*>(ini.data());
  EXPECT_EQ((std::vector<int32_t>{GetI32LE(p), GetI32LE(p + 4), GetI32LE(p + 8), GetI32LE(p + 12), GetI32LE(p + 16)}),
            (std::vector<int32_t>{1, 1, 300, 640, 5}));

  RunHeadlessGame(dir.path(), {"dump second.json"});
  json second = ReadDump(dir, "second.json");
  EXPECT_TRUE(second["menu"]["FullMode"]["checked"]);
  EXPECT_TRUE(second["menu"]["P1"]["checked"]);
  EXPECT_TRUE(second["menu"]["vol5"]["checked"]);
  EXPECT_EQ(second["messageDelayMs"], 90);

  // Values out of range change nothing; a short file applies its whole fields only.
  Bytes odd;
  for (int32_t v : {2, 7, 99999, -99999, 9}) AppendU32LE(odd, uint32_t(v));
  dir.Write("orvane.ini", odd);
  RunHeadlessGame(dir.path(), {"dump odd.json"});
  json oddDump = ReadDump(dir, "odd.json");
  EXPECT_TRUE(oddDump["menu"]["WindowMode"]["checked"]);
  EXPECT_FALSE(oddDump["menu"]["P1"]["checked"]);
  EXPECT_TRUE(oddDump["menu"]["vol3"]["checked"]);
  EXPECT_EQ(oddDump["window"], (json{{"left", 640}, {"top", 300}}));

  Bytes placed;
  for (int32_t v : {0, 1, 100, 200, 2}) AppendU32LE(placed, uint32_t(v));
  dir.Write("orvane.ini", Bytes(placed.begin(), placed.begin() + 14));
  RunHeadlessGame(dir.path(), {"dump short.json"});
  json shortDump = ReadDump(dir, "short.json");
  EXPECT_TRUE(shortDump["menu"]["P1"]["checked"]);
  EXPECT_EQ(shortDump["window"], (json{{"left", 640}, {"top", 100}}));
  EXPECT_TRUE(shortDump["menu"]["vol3"]["checked"]);
}

TEST(Menus, ReturnToTitleAsksThenStartsTheGameAgain) {
  TempDir dir;
  const std::vector<std::string> scenario = {"~TITLE \"物語\"", "\"一\"\\p", "!late:1!", "\"二\"\\n"};
  WriteGame(dir, {.scenario = scenario});
  HeadlessResult run = RunHeadlessGame(dir.path(), {"click", "menu N1", "answer no", "dump stayed.json", "menu N1",
                                                    "answer yes", "dump title.json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("question: タイトルに戻りますか？ -> no"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("question: タイトルに戻りますか？ -> yes"), std::string::npos) << run.out;
  json stayed = ReadDump(dir, "stayed.json"), title = ReadDump(dir, "title.json");
  EXPECT_EQ(Var(stayed, "late"), 1);
  EXPECT_TRUE(Var(title, "late").is_null());
  EXPECT_EQ(title["SceneState"]["readPosition"], 0);
  // Init named the window again before the story renamed it.
  EXPECT_NE(run.out.find("-> yes\ncaption: Orvane Ver 2.12\ncaption: 物語　【Orvane Ver 2.12】\n"), std::string::npos)
      << run.out;
  // The game started again from its first line and stopped at the end of its first page.
  EXPECT_EQ(title["scriptOffset"], LineOffset(scenario, 2));
  EXPECT_TRUE(title["pageEnded"]);
}

TEST(Menus, SaveTheScreenWritesTheWindowAsABmpAndSaysWhenItCannot) {
  TempDir dir;
  WriteGame(dir, {.scenario = {"~BOXSIZE 0,300,640,480", "~BOXCOL 0,0,200,128", "\"画面\"\\n", "\"次\"\\n"}});
  dir.Write("blocker", "a file");
  HeadlessResult run = RunHeadlessGame(dir.path(), {"shot expected.bmp", "menu N2", "savefile saved screen",
                                                    "menu N2", "menu N2", "savefile blocker/x.bmp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(dir.Read("saved screen"), dir.Read("expected.bmp"));  // no extension added
  const std::vector<std::string> messages = run.Messages();
  ASSERT_EQ(messages.size(), 2u) << run.out;
  EXPECT_EQ(messages[0], "保存完了しました。");
  EXPECT_EQ(messages[1].rfind(kWriteFailed, 0), 0u) << messages[1];
}

TEST(WriteFolder, SavesGoToTheSaveDirAndAFailedSaveSaysWhy) {
  TempDir dir, saves;
  WriteGame(dir, {.scenario = {"\"a\"\\n", "\"b\"\\n"}});
  dir.Write("data_1.dat", HandBuiltSlot("story.txt", 0));
  HeadlessResult run = RunHeadlessGame(dir.path(), {"menu SaveDat0", "dump saved.json", "menu LoadDat1", "dump loaded.json"},
                                       0, {"--save-dir", (saves.path() / "game").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(saves.Read("game/Data_0.dat").size(), 19464u);
  EXPECT_FALSE(fs::exists(dir.path() / "Data_0.dat"));
  EXPECT_EQ(Var(ReadDump(dir, "loaded.json"), "hp"), 7);  // shipped with the game, found there

  saves.Write("blocker", "a file");
  HeadlessResult failed = RunHeadlessGame(dir.path(), {"menu SaveDat0", "dump failed.json"}, 0,
                                          {"--save-dir", (saves.path() / "blocker" / "game").string()});
  ASSERT_EQ(failed.exitCode, 0) << failed.err;
  ASSERT_EQ(failed.Messages().size(), 1u);
  EXPECT_EQ(failed.Messages()[0].rfind(kWriteFailed, 0), 0u) << failed.Messages()[0];
  EXPECT_EQ(Caption(ReadDump(dir, "failed.json"), "SaveDat0"), "0: ---- --/-- --:--:--");
}

}  // namespace
}  // namespace orv::test
