#include "graphics/picture_loader.h"

#include <gtest/gtest.h>

#include "graphics/allocation_watch.h"
#include "graphics/arc1_test_support.h"
#include "graphics/picture_test_files.h"
#include "platform/game_folder.h"
#include "script/package_file.h"
#include "support/test_support.h"

namespace orv {
namespace {

using test::BmpOf;
using test::SolidImage;

constexpr Rgb kFromPackage{10, 200, 10};
constexpr Rgb kFromFile{200, 10, 10};
const std::string kPackage = "graphic.dat";
// "画像ファイルを読みこめませんでした："
const std::string kUnreadable = test::Sjis("画像ファイルを読みこめませんでした：");
const std::string kTreeError = test::Sjis("エラー");

Bytes Bmp(Rgb c, int width = 4, int height = 3) { return BmpOf(SolidImage(width, height, c)); }

bool IsPicture(const PictureLoad& load) { return load.ok() && *load; }
bool IsNothing(const PictureLoad& load) { return load.ok() && !*load; }

class PictureLoaderTest : public ::testing::Test {
 protected:
  void Package(const std::vector<PackageMember>& members) { dir_.Write(kPackage, BuildPackage(members)); }
  void File(std::string_view name, const Bytes& bytes) { dir_.Write(name, bytes); }
  PictureLoad Load(std::string_view name) { return PictureLoader(folder_, kPackage).Load(name); }

  static void ExpectPicture(const PictureLoad& load, Rgb colour) {
    ASSERT_TRUE(load.ok()) << load.error().message;
    ASSERT_TRUE(*load);
    EXPECT_EQ((*load)->Pixel(0, 0), colour);
  }
  static void ExpectFailure(const PictureLoad& load, std::string_view name) {
    ASSERT_FALSE(load.ok());
    EXPECT_EQ(load.error().kind, ErrorKind::Unreadable);
    EXPECT_EQ(load.error().message, kUnreadable + std::string(name));
    EXPECT_TRUE(PictureErrorEndsCommand(load.error()));
  }

  test::TempDir dir_;
  GameFolder folder_{dir_.path()};
};

TEST(PictureType, LastThreeBytesUpperCased) {
  EXPECT_EQ(PictureType("bg01.bmp"), "BMP");
  EXPECT_EQ(PictureType("Face.Jpg"), "JPG");
  EXPECT_EQ(PictureType("x.jpeg"), "PEG");
  EXPECT_EQ(PictureType("ab"), "AB");  // too short: its own type, matching none
  EXPECT_EQ(PictureType(""), "");
  EXPECT_EQ(PictureType(test::Sjis("絵.ccg")), "CCG");
  EXPECT_EQ(PictureType("xa\x82\xa0"), "A\x82\xa0");  // Shift-JIS bytes stay as they are
}

TEST_F(PictureLoaderTest, PackageMemberWinsOverFileAndIgnoresCase) {
  Package({{"chara.bmp", Bmp(kFromPackage)}});
  File("CHARA.BMP", Bmp(kFromFile));
  ExpectPicture(Load("CHARA.BMP"), kFromPackage);
  ExpectPicture(Load("Chara.bmp"), kFromPackage);
  // The first of two equal names wins.
  Package({{"A.BMP", Bmp(kFromPackage)}, {"a.bmp", Bmp(kFromFile)}});
  ExpectPicture(Load("a.bmp"), kFromPackage);
}

TEST_F(PictureLoaderTest, FallsBackToPlainFile) {
  File("bg.bmp", Bmp(kFromFile, 7, 5));
  ExpectPicture(Load("BG.BMP"), kFromFile);  // no package at all
  Package({{"other.bmp", Bmp(kFromPackage)}});
  PictureLoad load = Load("bg.bmp");  // package without the member
  ExpectPicture(load, kFromFile);
  EXPECT_EQ((*load)->width(), 7);
  EXPECT_EQ((*load)->height(), 5);
}

TEST_F(PictureLoaderTest, JpegFromPackageAndFile) {
  Package({{"face.jpg", test::JpegFile(SolidImage(16, 16, {250, 250, 250}))}});
  File("sky.JPG", test::JpegFile(SolidImage(8, 8, {0, 0, 0})));
  PictureLoad fromPackage = Load("FACE.JPG");
  ASSERT_TRUE(IsPicture(fromPackage));
  EXPECT_GT((*fromPackage)->Pixel(8, 8).r, 240);
  EXPECT_TRUE(IsPicture(Load("sky.jpg")));
}

TEST_F(PictureLoaderTest, Arc1MembersAreKnownByTheirMagicNotTheirEnding) {
  const Bytes arc1 = test::EncodeArc1(Bmp(kFromPackage));
  Package({{"a.ccg", arc1}, {"b.dat", arc1}, {"c.xyz", Bmp(kFromPackage)}, {"d.ccg", Bmp(kFromPackage)}});
  File("c.xyz", Bmp(kFromFile));
  File("d.ccg", test::EncodeArc1(Bmp(kFromFile)));
  ExpectPicture(Load("a.ccg"), kFromPackage);
  ExpectPicture(Load("B.DAT"), kFromPackage);
  // Members without the magic count as missing: c.xyz is then a plain file of no known
  // type, d.ccg a plain ARC1 file.
  EXPECT_TRUE(IsNothing(Load("c.xyz")));
  ExpectPicture(Load("d.ccg"), kFromFile);
}

TEST_F(PictureLoaderTest, PlainCcgFiles) {
  File("ok.ccg", test::EncodeArc1(Bmp(kFromFile)));
  File("raw.ccg", Bmp(kFromFile));                         // no ARC1 magic
  File("empty.ccg", test::EncodeArc1({}));                 // unpacked size 0
  File("text.ccg", test::EncodeArc1({'h', 'e', 'l', 'l', 'o'}));  // unpacks to no BMP
  // Ten bytes asking for 60 MB of one byte: no picture, and nothing unpacked to learn it.
  File("flood.ccg", test::Arc1File(60u << 20, test::Arc1Bits().Leaf('x').ToBytes()));
  ExpectPicture(Load("OK.CCG"), kFromFile);
  for (const char* name : {"raw.ccg", "empty.ccg", "text.ccg", "missing.ccg", "flood.ccg"}) {
    SCOPED_TRACE(name);
    test::AllocationWatch watch;
    EXPECT_TRUE(IsNothing(Load(name)));
    EXPECT_LT(watch.Largest(), size_t(1) << 20);
  }
}

TEST_F(PictureLoaderTest, TooManyTreeNodesShowsTheMessageAndGoesOn) {
  Package({{"big.ccg", test::EncodeArc1(Bmp(kFromPackage), 1)}});
  File("big.ccg", test::EncodeArc1(Bmp(kFromFile)));  // not tried: the member was taken
  File("file.ccg", test::EncodeArc1(Bmp(kFromFile), 3));
  for (const char* name : {"big.ccg", "file.ccg"}) {
    SCOPED_TRACE(name);
    PictureLoad load = Load(name);
    ASSERT_FALSE(load.ok());
    EXPECT_EQ(load.error().message, kTreeError);
    EXPECT_FALSE(PictureErrorEndsCommand(load.error()));
  }
}

TEST_F(PictureLoaderTest, NonBmpDataFromPackageLoadsNothingQuietly) {
  Package({{"x.bmp", Bytes{'G', 'I', 'F', '8', '9', 'a'}}, {"y.bmp", {}}});
  File("x.bmp", Bmp(kFromFile));  // not tried: the member counts as taken
  EXPECT_TRUE(IsNothing(Load("x.bmp")));
  EXPECT_TRUE(IsNothing(Load("y.bmp")));
}

TEST_F(PictureLoaderTest, UnreadablePicturesNameTheFile) {
  Bytes brokenBmp = Bmp(kFromPackage);
  brokenBmp[10] = 0xFF;  // pixel data far past the end
  Package({{"bad.bmp", brokenBmp}, {"bad.jpg", Bytes{0xFF, 0xD8, 0xFF, 0xD9}}});
  ExpectFailure(Load("BAD.BMP"), "BAD.BMP");
  ExpectFailure(Load("bad.jpg"), "bad.jpg");

  File("notbmp.bmp", Bytes{'G', 'I', 'F'});
  File("cut.jpg", Bytes{0xFF, 0xD8});
  ExpectFailure(Load("gone.bmp"), "gone.bmp");
  ExpectFailure(Load("gone.jpg"), "gone.jpg");
  ExpectFailure(Load("notbmp.bmp"), "notbmp.bmp");  // a plain file must be a BMP
  ExpectFailure(Load("cut.jpg"), "cut.jpg");
  ExpectFailure(Load(test::Sjis("背景.bmp")), test::Sjis("背景.bmp"));
}

TEST_F(PictureLoaderTest, OtherTypesLoadNothing) {
  File("pic.png", Bmp(kFromFile));
  File("ab", Bmp(kFromFile));
  EXPECT_TRUE(IsNothing(Load("pic.png")));
  EXPECT_TRUE(IsNothing(Load("ab")));
  EXPECT_TRUE(IsNothing(Load("")));
}

TEST_F(PictureLoaderTest, MemberOutsideThePackage) {
  Bytes package = BuildPackage({{"a.bmp", Bmp(kFromPackage)}, {"b.dat", test::EncodeArc1(Bmp(kFromPackage))}});
  PutU32LE(package.data() + 4 + 4, 1u << 30);                     // a.bmp's offset
  PutU32LE(package.data() + 4 + 52 + 0, uint32_t(package.size()));  // b.dat's size
  dir_.Write(kPackage, package);
  File("b.dat", Bmp(kFromFile));
  ExpectFailure(Load("a.bmp"), "a.bmp");            // a BMP member is taken, but unreadable
  EXPECT_TRUE(IsNothing(Load("b.dat")));            // an unreadable other member is missing
}

TEST_F(PictureLoaderTest, PackageOverBytesInMemory) {
  const Bytes bytes = BuildPackage({{"m.bmp", Bmp(kFromPackage)}});
  Result<PackageFile> package = PackageFile::Parse(bytes);
  ASSERT_TRUE(package);
  std::optional<PictureLoad> load = LoadPictureFromPackage(*package, "M.BMP");
  ASSERT_TRUE(load);
  ExpectPicture(*load, kFromPackage);
  EXPECT_FALSE(LoadPictureFromPackage(*package, "n.bmp"));
  EXPECT_FALSE(LoadPictureFromPackage(folder_, "missing.dat", "m.bmp"));
}

}  // namespace
}  // namespace orv
