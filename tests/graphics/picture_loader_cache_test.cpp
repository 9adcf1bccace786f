#include "graphics/picture_cache.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/picture_test_files.h"
#include "platform/game_folder.h"
#include "script/package_file.h"
#include "support/test_support.h"

namespace orv {
namespace {

const std::string kPackage = "graphic.dat";
constexpr size_t kPictureBytes = 10 * 10 * 3;

Bytes Bmp(Rgb c, int side = 10) { return test::BmpOf(test::SolidImage(side, side, c)); }

class PictureCacheTest : public ::testing::Test {
 protected:
  // Rewrites a file and moves its time on, so that the change shows even on file systems
  // with coarse time stamps.
  void Write(std::string_view name, const Bytes& bytes) {
    const auto path = dir_.path() / std::string(name);
    const bool existed = std::filesystem::exists(path);
    const auto before = existed ? std::filesystem::last_write_time(path) : std::filesystem::file_time_type{};
    dir_.Write(name, bytes);
    if (existed) std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
  }
  // Held as shared pointers, so that a dropped picture's memory cannot come back at the
  // same address and pass for a cache hit.
  std::shared_ptr<const Image> Picture(PictureCache& cache, std::string_view name) {
    PictureLoad load = cache.Load(name);
    EXPECT_TRUE(load.ok() && *load) << name;
    return std::move(load).value_or(nullptr);
  }

  test::TempDir dir_;
  GameFolder folder_{dir_.path()};
};

TEST_F(PictureCacheTest, SecondLoadSharesTheDecodedPictureWhateverTheCase) {
  Write(kPackage, BuildPackage({{"a.bmp", Bmp({1, 2, 3})}}));
  Write("b.bmp", Bmp({4, 5, 6}));
  PictureCache cache(folder_, kPackage);
  auto a = Picture(cache, "a.bmp");
  auto b = Picture(cache, "b.bmp");
  EXPECT_EQ(Picture(cache, "A.BMP"), a);
  EXPECT_EQ(Picture(cache, "B.bmp"), b);
  EXPECT_EQ(cache.pictureCount(), 2u);
  EXPECT_EQ(cache.bytesHeld(), 2 * kPictureBytes);
}

// One composition sees one package; the next sees the package as it is then.
TEST_F(PictureCacheTest, WithinOneMomentThePackageIsLookedAtOnceAndAfterItAfresh) {
  Write(kPackage, BuildPackage({{"a.bmp", Bmp({1, 1, 1})}}));
  PictureCache cache(folder_, kPackage);
  {
    const PictureCache::OneMoment moment(cache);
    const PictureCache::OneMoment nested(cache);
    EXPECT_EQ(Picture(cache, "a.bmp")->Pixel(0, 0), (Rgb{1, 1, 1}));
    Write(kPackage, BuildPackage({{"a.bmp", Bmp({2, 2, 2})}}));
    EXPECT_EQ(Picture(cache, "a.bmp")->Pixel(0, 0), (Rgb{1, 1, 1}));
  }
  EXPECT_EQ(Picture(cache, "a.bmp")->Pixel(0, 0), (Rgb{2, 2, 2}));
  {
    const PictureCache::OneMoment moment(cache);  // a later moment takes a fresh look
    Write(kPackage, BuildPackage({{"a.bmp", Bmp({3, 3, 3})}}));
    EXPECT_EQ(Picture(cache, "a.bmp")->Pixel(0, 0), (Rgb{3, 3, 3}));
  }
}

TEST_F(PictureCacheTest, ChangedSourcesAreLoadedAgain) {
  Write(kPackage, BuildPackage({{"a.bmp", Bmp({1, 1, 1})}}));
  Write("b.bmp", Bmp({2, 2, 2}));
  PictureCache cache(folder_, kPackage);
  Picture(cache, "a.bmp");
  Picture(cache, "b.bmp");

  Write(kPackage, BuildPackage({{"a.bmp", Bmp({9, 9, 9})}}));
  EXPECT_EQ(Picture(cache, "a.bmp")->Pixel(0, 0), (Rgb{9, 9, 9}));

  Write("b.bmp", Bmp({8, 8, 8}, 12));
  EXPECT_EQ(Picture(cache, "b.bmp")->Pixel(0, 0), (Rgb{8, 8, 8}));

  // A package that gains the member takes over from the plain file.
  Write(kPackage, BuildPackage({{"a.bmp", Bmp({9, 9, 9})}, {"b.bmp", Bmp({7, 7, 7})}}));
  EXPECT_EQ(Picture(cache, "b.bmp")->Pixel(0, 0), (Rgb{7, 7, 7}));

  // And a plain file that goes away is noticed.
  std::filesystem::remove(dir_.path() / "b.bmp");
  Write(kPackage, BuildPackage({{"a.bmp", Bmp({9, 9, 9})}}));
  EXPECT_FALSE(cache.Load("b.bmp").ok());
}

TEST_F(PictureCacheTest, FailuresAreNotKept) {
  PictureCache cache(folder_, kPackage);
  EXPECT_FALSE(cache.Load("late.bmp").ok());
  EXPECT_EQ(cache.pictureCount(), 0u);
  Write("late.bmp", Bmp({3, 3, 3}));
  EXPECT_TRUE(Picture(cache, "late.bmp"));
}

TEST_F(PictureCacheTest, LeastRecentlyUsedGoesFirst) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) Write(name, Bmp({5, 5, 5}));
  Write("big.bmp", Bmp({6, 6, 6}, 20));
  PictureCache cache(folder_, kPackage, 2 * kPictureBytes);
  auto a = Picture(cache, "a.bmp");
  auto b = Picture(cache, "b.bmp");
  Picture(cache, "a.bmp");  // a is now the most recent
  Picture(cache, "c.bmp");  // pushes b out
  EXPECT_EQ(cache.bytesHeld(), 2 * kPictureBytes);
  EXPECT_EQ(Picture(cache, "a.bmp"), a);
  EXPECT_NE(Picture(cache, "b.bmp"), b);

  // A picture larger than the whole budget is handed out but not kept.
  const PictureRef big = Picture(cache, "big.bmp");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->width(), 20);
  EXPECT_LE(cache.bytesHeld(), 2 * kPictureBytes);
  EXPECT_NE(Picture(cache, "big.bmp"), big);
}

}  // namespace
}  // namespace orv
