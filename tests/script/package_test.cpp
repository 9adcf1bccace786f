#include <gtest/gtest.h>

#include <chrono>

#include "platform/game_folder.h"
#include "script/package_file.h"
#include "script/scenario_source.h"
#include "script/startup_definitions.h"
#include "support/test_support.h"

namespace orv {
namespace {

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST(PackageFile, LookupIgnoresAsciiCaseAndTakesTheFirstMatch) {
  Bytes package = BuildPackage({{"SCENE2.TXT", Text("one")}, {"scene2.txt", Text("two")}, {"b.txt", Text("b")}});
  auto parsed = PackageFile::Parse(package);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(FindPackageEntry(parsed->directory(), "scene2.txt"), 0);
  EXPECT_EQ(FindPackageEntry(parsed->directory(), "B.TXT"), 2);
  EXPECT_EQ(FindPackageEntry(parsed->directory(), "scene2"), -1);
  // The package's own index agrees, whatever the case on either side.
  EXPECT_EQ(parsed->Find("Scene2.Txt"), 0);
  EXPECT_EQ(parsed->Find("b.TXT"), 2);
  EXPECT_EQ(parsed->Find("scene2"), -1);
  EXPECT_EQ(parsed->Find(""), -1);
  EXPECT_EQ(parsed->ReadMember("SCENE2.txt").value(), Text("one"));
  EXPECT_EQ(parsed->ReadMember("scene3.txt").error().kind, ErrorKind::NotFound);
}

TEST(PackageFile, FortyOneByteNamesAreFound) {
  const std::string name(41, 'N');
  Bytes package = BuildPackage({{name, Text("x")}});
  EXPECT_EQ(package[4 + 51], 0);  // byte 51 of the entry is the terminator
  auto parsed = PackageFile::Parse(package);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(FindPackageEntry(parsed->directory(), name), 0);
}

TEST(PackageFile, BadPackagesAreRefusedOrReadAsMissingMembers) {
  // Too short for the count, an absurd count, a count that needs more directory than there is.
  const Bytes package = BuildPackage({{"a.txt", Text("hello")}});
  for (const Bytes& bad : {Bytes{1, 0}, Bytes{0xFF, 0xFF, 0xFF, 0xFF}, Bytes(package.begin(), package.begin() + 30)}) {
    const Result<PackageFile> refused = PackageFile::Parse(bad);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, ErrorKind::Malformed);
  }

  // A member whose data lie past the end is in the directory but cannot be read.
  Bytes cut(package.begin(), package.end() - 2);
  auto parsed = PackageFile::Parse(cut);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(FindPackageEntry(parsed->directory(), "a.txt"), 0);
  EXPECT_EQ(parsed->ReadMember("a.txt").error().kind, ErrorKind::Malformed);

  Bytes pastEnd = package;
  PutU32LE(pastEnd.data() + 8, 0xFFFFFFF0u);  // offset near 4 GiB
  parsed = PackageFile::Parse(pastEnd);
  ASSERT_TRUE(parsed);
  EXPECT_FALSE(parsed->ReadMember("a.txt"));
}

// Which file a kept package holds, by the one member every version below carries.
std::string KeptText(CachedPackage& kept) {
  const Result<PackageFile>& package = kept.Get();
  if (!package) return std::string("error:") + ErrorKindName(package.error().kind);
  const Result<Bytes> bytes = package->ReadMember("m.txt");
  return bytes ? std::string(bytes->begin(), bytes->end()) : "unreadable";
}

// Writes a package of one member, keeping the file's time as it was.
void WriteSameStamp(const test::TempDir& dir, std::string_view name, std::string member, std::string_view text) {
  const auto path = dir.path() / std::string(name);
  const auto time = std::filesystem::last_write_time(path);
  dir.Write(name, BuildPackage({{std::move(member), Text(text)}}));
  std::filesystem::last_write_time(path, time);
}

TEST(CachedPackage, ReadAgainOnlyWhenTheFileChanges) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  dir.Write("game/other.dat", BuildPackage({{"m.txt", Text("oth")}}));
  dir.Write("outside.dat", BuildPackage({{"m.txt", Text("out")}}));
  const fs::path root = dir.path() / "game";
  const GameFolder folder(root);
  CachedPackage kept(folder, "PICS.DAT");
  EXPECT_EQ(KeptText(kept), "error:not found");

  dir.Write("game/pics.dat", BuildPackage({{"m.txt", Text("one")}}));
  EXPECT_EQ(KeptText(kept), "one");
  // Another content of the same size and time passes for the same file: the directory kept
  // (which still names m.txt) is used, and the member is read from the file as it is now.
  WriteSameStamp(dir, "game/pics.dat", "n.txt", "two");
  EXPECT_EQ(KeptText(kept), "two");
  const auto time = fs::last_write_time(root / "pics.dat");
  dir.Write("game/pics.dat", BuildPackage({{"x.txt", Text("xx")}, {"m.txt", Text("three")}}));
  fs::last_write_time(root / "pics.dat", time);
  EXPECT_EQ(KeptText(kept), "three");  // another size
  WriteSameStamp(dir, "game/pics.dat", "m.txt", "fourx");
  fs::last_write_time(root / "pics.dat", time + std::chrono::seconds(5));
  EXPECT_EQ(KeptText(kept), "fourx");  // another time

  // A link to a file of the same size and time is another file; a link leading out of the
  // game folder is a missing package, as everywhere else.
  fs::last_write_time(root / "other.dat", time + std::chrono::seconds(5));
  fs::remove(root / "pics.dat");
  fs::create_symlink("other.dat", root / "pics.dat");
  EXPECT_EQ(KeptText(kept), "oth");
  fs::remove(root / "pics.dat");
  fs::create_symlink(dir.path() / "outside.dat", root / "pics.dat");
  EXPECT_EQ(KeptText(kept), "error:not found");

  // A package that cannot be read keeps its error until it is replaced.
  fs::remove(root / "pics.dat");
  dir.Write("game/pics.dat", Bytes{9, 0, 0, 0, 1});
  EXPECT_EQ(KeptText(kept), "error:malformed");
  dir.Write("game/pics.dat", BuildPackage({{"m.txt", Text("five")}}));
  EXPECT_EQ(KeptText(kept), "five");
}

TEST(StartupDefinitions, LinesByPositionWithDefaultsForMissingOnes) {
  auto defs = ParseStartupDefinitions(Text("0\r\n25\r\nabc\r\n-5\r\n  40\r\nstory.txt\r\npic.dat\r\nwave.dat\r\nmusic.dat"));
  EXPECT_EQ(defs.messageSpeedTable, (std::array<int32_t, 5>{0, 25, 0, -5, 40}));
  EXPECT_EQ(defs.scenarioFileName, "story.txt");
  EXPECT_EQ(defs.musicPackageName, "music.dat");  // the last line needs no CR LF

  auto shortFile = ParseStartupDefinitions(Text("10\r\n20\r\n"));
  EXPECT_EQ(shortFile.messageSpeedTable, (std::array<int32_t, 5>{10, 20, 50, 75, 100}));
  EXPECT_EQ(shortFile.scenarioFileName, "");

  // A lone LF belongs to the line; a line longer than 255 bytes is cut and the next line
  // still starts where the file says.
  auto odd = ParseStartupDefinitions(Text("1\n2\r\n" + std::string(300, '9') + "\r\n4\r\n5\r\n6\r\nx.txt\r\n"));
  EXPECT_EQ(odd.messageSpeedTable[0], 1);
  EXPECT_EQ(odd.messageSpeedTable[4], 6);
  EXPECT_EQ(odd.scenarioFileName, "x.txt");
}

TEST(StartupDefinitions, ReadFromTheGameFolderOrNotFound) {
  test::TempDir dir;
  GameFolder folder(dir.path());
  EXPECT_EQ(ReadStartupDefinitions(folder).error().kind, ErrorKind::NotFound);
  dir.Write("INIT.DEF", "5\r\n");
  const Result<StartupDefinitions> defs = ReadStartupDefinitions(folder);
  ASSERT_TRUE(defs);
  EXPECT_EQ(defs->messageSpeedTable, (std::array<int32_t, 5>{5, 25, 50, 75, 100}));
}

TEST(ScenarioSource, PlainInvertedAndPackagedScenarios) {
  test::TempDir dir;
  GameFolder folder(dir.path());
  dir.Write("Story.Txt", "plain\r\n");
  Bytes inverted = Text("scrambled\r\n");
  InvertBytes(inverted);
  dir.Write("story.snr", inverted);
  Bytes first = Text("first"), second = Text("second");
  InvertBytes(first);
  InvertBytes(second);
  dir.Write("scen.dat", BuildPackage({{"A.TXT", first}, {"SCEN.DAT", second}}));

  ScenarioSource source(folder);
  for (const char* name : {"story.txt", "STORY.TXT", "story.Txt"}) {
    ASSERT_TRUE(source.LoadFirstScenario(name)) << name;
    EXPECT_EQ(source.ScenarioBuffer(), "plain\r\n");
  }
  ASSERT_TRUE(source.LoadFirstScenario("story.snr"));
  EXPECT_EQ(source.ScenarioBuffer(), "scrambled\r\n");

  // The package's first entry is the first scenario, whatever the others are called.
  Result<std::string> load = source.LoadFirstScenario("scen.dat");
  ASSERT_TRUE(load);
  EXPECT_EQ(*load, "A.TXT");
  EXPECT_EQ(source.ScenarioBuffer(), "first");
  EXPECT_EQ(source.mode(), ScenarioSourceMode::Package);
  EXPECT_TRUE(source.SwitchScenario("scen.dat", "A.TXT"));
  EXPECT_EQ(source.ScenarioBuffer(), "second");
  const Result<void> missing = source.SwitchScenario("missing.txt", "A.TXT");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
  EXPECT_EQ(missing.error().message, test::Sjis("シナリオファイルの読みこみに失敗しました。"));
  EXPECT_EQ(source.ScenarioBuffer(), "second");  // a failed switch changes nothing

  // Another type loads nothing and stays in file mode; a missing file says so.
  const Result<std::string> otherType = source.LoadFirstScenario("story.doc");
  ASSERT_FALSE(otherType);
  EXPECT_EQ(otherType.error().kind, ErrorKind::Unsupported);
  EXPECT_EQ(otherType.error().message, test::Sjis("シナリオファイルの読みこみに失敗しました。"));
  EXPECT_EQ(source.mode(), ScenarioSourceMode::File);
  EXPECT_EQ(source.LoadFirstScenario("gone.dat").error().kind, ErrorKind::NotFound);
  EXPECT_EQ(FileTypeOf("ab"), "AB");
}

TEST(ScenarioSource, FileModeInvertsWhenLeavingAnInvertedScenario) {
  test::TempDir dir;
  GameFolder folder(dir.path());
  Bytes next = Text("next");
  InvertBytes(next);
  dir.Write("next.snr", next);
  Bytes ff = {'a', 0x00, 'b'};  // 0xFF stored becomes a zero byte that ends the text
  InvertBytes(ff);
  dir.Write("start.snr", ff);
  ScenarioSource source(folder);
  ASSERT_TRUE(source.LoadFirstScenario("start.snr"));
  EXPECT_EQ(source.ScenarioBuffer()[1], '\0');
  ASSERT_TRUE(source.SwitchScenario("next.snr", "start.snr"));
  EXPECT_EQ(source.ScenarioBuffer(), "next");
}

// Switching to the file just read again reuses its text only while the file is unchanged, and
// only for the same way of decoding it.
TEST(ScenarioSource, ASwitchRereadsOnlyWhatChanged) {
  test::TempDir dir;
  GameFolder folder(dir.path());
  dir.Write("loop.txt", "one\r\n");
  ScenarioSource source(folder);
  ASSERT_TRUE(source.LoadFirstScenario("loop.txt"));
  ASSERT_TRUE(source.SwitchScenario("LOOP.TXT", "loop.txt"));
  EXPECT_EQ(source.ScenarioBuffer(), "one\r\n");
  dir.Write("loop.txt", "three\r\n");
  ASSERT_TRUE(source.SwitchScenario("loop.txt", "loop.txt"));
  EXPECT_EQ(source.ScenarioBuffer(), "three\r\n");
  // The same file left from an inverted scenario decodes differently.
  ASSERT_TRUE(source.SwitchScenario("loop.txt", "x.snr"));
  Bytes inverted = Text("three\r\n");
  InvertBytes(inverted);
  EXPECT_EQ(source.ScenarioBuffer(), std::string(inverted.begin(), inverted.end()));
  std::filesystem::remove(dir.path() / "loop.txt");
  EXPECT_FALSE(source.SwitchScenario("loop.txt", "x.snr"));
}

TEST(GameFolder, NamesResolveInsideTheFolderOnly) {
  test::TempDir dir;
  dir.Write("BG/Room.BMP", "x");
  GameFolder folder(dir.path());
  EXPECT_TRUE(folder.Find("bg\\room.bmp"));
  EXPECT_TRUE(folder.Find("bg/ROOM.bmp"));
  EXPECT_FALSE(folder.Find("../etc/passwd"));
  EXPECT_FALSE(folder.Find("bg/../../x"));
  EXPECT_FALSE(folder.Find("/etc/passwd"));
  EXPECT_FALSE(folder.Find("C:\\windows\\win.ini"));
  // A name ends at a zero byte, as the kit's strings do.
  EXPECT_EQ(folder.Find(std::string("bg/room.bmp\0junk", 16)), folder.Find("bg/room.bmp"));
  EXPECT_FALSE(folder.Find(std::string("..\0x", 4)));
  EXPECT_FALSE(folder.Find(std::string("bg/..\0/..\0/x", 12)));
  EXPECT_FALSE(folder.Find(std::string("\0bg", 3)));
}

TEST(GameFolder, ANameAsGivenComesBeforeItsOtherLetterCases) {
  test::TempDir dir;
  dir.Write("Data.dat", "mixed");
  dir.Write("DATA.DAT", "upper");
  const GameFolder folder(dir.path());
  auto read = [&](std::string_view name) {
    const auto bytes = folder.ReadAll(name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(missing)");
  };
  // First in a folder that has just changed, then in one whose listing is kept (its time set
  // an hour back, as a game folder's is), then after a file is added to it.
  for (const char* stage : {"changed", "settled"}) {
    SCOPED_TRACE(stage);
    using Clock = std::filesystem::file_time_type::clock;
    if (std::string_view(stage) == "settled")
      std::filesystem::last_write_time(dir.path(), Clock::now() - std::chrono::hours(1));
    EXPECT_EQ(read("Data.dat"), "mixed");
    EXPECT_EQ(read("DATA.DAT"), "upper");
    EXPECT_NE(read("data.dat"), "(missing)");
    EXPECT_EQ(read("none.dat"), "(missing)");
  }
  dir.Write("Later.dat", "new");
  EXPECT_EQ(read("LATER.DAT"), "new");
  EXPECT_EQ(read("Later.dat"), "new");
}

}  // namespace
}  // namespace orv
