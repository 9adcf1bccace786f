// The pixel arithmetic of the stage: every vector form against the scalar definition, the
// cross-fade against its table, and where pictures land on the stage.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/blend.h"
#include "graphics/fade_table.h"
#include "stage/stage_test_support.h"

namespace orv::test {
namespace {

std::vector<BlendKernels> AvailableKernels() {
  std::vector<BlendKernels> all;
  for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Ssse3, SimdLevel::Avx2}) {
    BlendKernels k = KernelsFor(level);
    if (k.level == level) all.push_back(k);
  }
  return all;
}

TEST(BlendKernels, MaskedBlendMatchesTheFormulaForEveryByteTriple) {
  // Every (stage, image) pair under every mask value, once per vector form; the odd length
  // and the offset start leave a scalar tail and unaligned loads in every run.
  constexpr size_t kPairs = 65536;
  std::vector<uint8_t> image(kPairs + 1), mask(kPairs + 1), expected(kPairs + 1), actual(kPairs + 1);
  for (const BlendKernels& k : AvailableKernels()) {
    SCOPED_TRACE(SimdLevelName(k.level));
    for (int m = 0; m < 256; ++m) {
      for (size_t i = 0; i < kPairs; ++i) {
        const int d = int(i & 255), s = int(i >> 8);
        image[i + 1] = uint8_t(s);
        mask[i + 1] = uint8_t(m);
        actual[i + 1] = uint8_t(d);
        expected[i + 1] = uint8_t(((s - d) * (255 - m) + d * 256) >> 8);
      }
      k.blendMasked(actual.data() + 1, image.data() + 1, mask.data() + 1, kPairs - 3);
      for (size_t i = kPairs - 3; i < kPairs; ++i) expected[i + 1] = uint8_t(i & 255);  // beyond the count
      ASSERT_EQ(actual, expected) << "mask " << m;
    }
  }
}

TEST(BlendKernels, MaskedBlendOfAnOpaqueMaskIsNotACopy) {
  uint8_t stage[1] = {255};
  const uint8_t image[1] = {0}, mask[1] = {0};
  for (const BlendKernels& k : AvailableKernels()) {
    stage[0] = 255;
    k.blendMasked(stage, image, mask, 1);
    EXPECT_EQ(stage[0], 0);  // (255 * 0 + 255) >> 8
  }
  std::vector<uint8_t> row(64, 200), picture(64, 100), opaque(64, 0);
  for (const BlendKernels& k : AvailableKernels()) {
    std::vector<uint8_t> out = row;
    k.blendMasked(out.data(), picture.data(), opaque.data(), out.size());
    EXPECT_EQ(out, std::vector<uint8_t>(64, uint8_t((255 * 100 + 200) >> 8))) << SimdLevelName(k.level);
  }
}

TEST(BlendKernels, MaskedBlendWithMixedMasksMatchesScalar) {
  // Runs of white (skipped), black and greys of random lengths at random offsets.
  std::mt19937 random(7);
  const std::vector<BlendKernels> kernels = AvailableKernels();
  for (int round = 0; round < 300; ++round) {
    const size_t bytes = random() % 3000;
    std::vector<uint8_t> stage(bytes), image(bytes), mask(bytes);
    for (size_t i = 0; i < bytes; ++i) {
      stage[i] = uint8_t(random());
      image[i] = uint8_t(random());
    }
    for (size_t i = 0; i < bytes;) {
      const size_t run = 1 + random() % 80;
      const int kind = int(random() % 4);
      for (size_t j = i; j < std::min(bytes, i + run); ++j)
        mask[j] = kind == 0 ? 255 : kind == 1 ? 0 : kind == 2 ? 254 : uint8_t(random());
      i += run;
    }
    std::vector<uint8_t> expected = stage;
    scalar::BlendMasked(expected.data(), image.data(), mask.data(), bytes);
    for (const BlendKernels& k : kernels) {
      std::vector<uint8_t> actual = stage;
      k.blendMasked(actual.data(), image.data(), mask.data(), bytes);
      ASSERT_EQ(actual, expected) << SimdLevelName(k.level) << " round " << round;
    }
  }
}

TEST(BlendKernels, ColorKeyedPasteMatchesScalar) {
  // Pictures made of runs of the key, of colours one channel off the key, and of others.
  std::mt19937 random(11);
  const Rgb key{10, 20, 30};
  const std::vector<BlendKernels> kernels = AvailableKernels();
  for (int round = 0; round < 400; ++round) {
    const size_t pixels = random() % 700;
    std::vector<uint8_t> source(pixels * 3), stage(pixels * 3);
    for (auto& b : stage) b = uint8_t(random());
    for (size_t p = 0; p < pixels;) {
      const size_t run = 1 + random() % (round % 2 ? 40 : 3);
      const int kind = int(random() % 5);
      for (size_t q = p; q < std::min(pixels, p + run); ++q) {
        Rgb c{uint8_t(random()), uint8_t(random()), uint8_t(random())};
        if (kind <= 1) c = key;
        if (kind == 2) c = Rgb{key.r, key.g, uint8_t(key.b + 1)};
        if (kind == 3) c = Rgb{uint8_t(key.r ^ 0x80), key.g, key.b};
        source[q * 3] = c.b;
        source[q * 3 + 1] = c.g;
        source[q * 3 + 2] = c.r;
      }
      p += run;
    }
    std::vector<uint8_t> expected = stage;
    scalar::PasteKeyed(expected.data(), source.data(), pixels, key);
    for (const BlendKernels& k : kernels) {
      std::vector<uint8_t> actual = stage;
      k.pasteKeyed(actual.data(), source.data(), pixels, key);
      ASSERT_EQ(actual, expected) << SimdLevelName(k.level) << " round " << round;
    }
  }
}

TEST(BlendKernels, ColorKeyedPasteSeesEveryPixelOfAWideBlockAlone) {
  // One pixel unlike the rest at every place of a 32-pixel block (the widest kernel's group,
  // whose pixels straddle its vectors at bytes 32 and 64 and its key test's halves at 48),
  // in a row of two blocks and a tail, so each vector form and its fallback meet it.
  const Rgb key{10, 20, 30};
  const Rgb odd[] = {key, Rgb{key.r, key.g, uint8_t(key.b + 1)}, Rgb{key.r, uint8_t(key.g ^ 0x40), key.b},
                     Rgb{uint8_t(key.r - 1), key.g, key.b}, Rgb{200, 100, 50}};
  const Rgb around[] = {key, Rgb{1, 2, 3}};
  constexpr size_t kPixels = 2 * 32 + 7;
  for (const Rgb& rest : around)
    for (const Rgb& one : odd)
      for (size_t at = 0; at < kPixels; ++at) {
        std::vector<uint8_t> source(kPixels * 3), stage(kPixels * 3);
        for (size_t p = 0; p < kPixels; ++p) {
          const Rgb c = p == at ? one : rest;
          source[p * 3] = c.b;
          source[p * 3 + 1] = c.g;
          source[p * 3 + 2] = c.r;
          stage[p * 3] = stage[p * 3 + 1] = stage[p * 3 + 2] = uint8_t(0x80 + p);
        }
        std::vector<uint8_t> expected = stage;
        scalar::PasteKeyed(expected.data(), source.data(), kPixels, key);
        for (const BlendKernels& k : AvailableKernels()) {
          std::vector<uint8_t> actual = stage;
          k.pasteKeyed(actual.data(), source.data(), kPixels, key);
          ASSERT_EQ(actual, expected) << SimdLevelName(k.level) << " pixel " << at;
        }
      }
}

uint8_t TintFormula(int p, int target, int opacity) { return uint8_t(((target - p) * opacity + p * 256) >> 8); }

TEST(BoxTint, EveryPixelTargetAndOpacityFollowsTheFormula) {
  // 256 pixels whose three channels each run through every value; the source starts one pixel
  // into its buffer so that no load is aligned.
  std::vector<uint8_t> src(257 * 3), dst(257 * 3);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) src[size_t(3 + i * 3 + c)] = uint8_t(i + 85 * c);
  for (const BlendKernels& k : AvailableKernels()) {
    SCOPED_TRACE(SimdLevelName(k.level));
    int wrong = 0;
    for (int opacity = 0; opacity < 256; ++opacity)
      for (int t = 0; t < 256; ++t) {
        const int target[3] = {t, t ^ 0x55, 255 - t};  // blue, green, red
        TintPixels(src.data() + 3, dst.data() + 3, 256,
                   BoxTint{uint8_t(opacity), uint8_t(target[0]), uint8_t(target[1]), uint8_t(target[2])}, k);
        for (size_t b = 3; b < src.size(); ++b) wrong += dst[b] != TintFormula(src[b], target[(b - 3) % 3], opacity);
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(BoxTint, EveryWidthTintsInPlaceOrApartAndStopsAtItsEnd) {
  // Widths past two rounds of the widest form, so that every form meets every tail length,
  // both over the source itself and into a buffer of its own (whose tail may be tinted by
  // going back over pixels already done: they must not be tinted twice).
  const BoxTint tint{200, 10, 220, 130};
  const int target[3] = {10, 220, 130};
  for (const BlendKernels& k : AvailableKernels())
    for (bool inPlace : {true, false})
      for (int width = -1; width <= 70; ++width) {
        std::vector<uint8_t> row(size_t(width + 3) * 3);
        for (size_t b = 0; b < row.size(); ++b) row[b] = uint8_t(b * 37 + 11);
        const std::vector<uint8_t> before = row;
        std::vector<uint8_t> apart = row;
        std::vector<uint8_t>& out = inPlace ? row : apart;
        TintPixels(row.data() + 3, out.data() + 3, width, tint, k);
        EXPECT_TRUE(inPlace || row == before);
        for (size_t b = 0; b < out.size(); ++b) {
          const bool inside = b >= 3 && int(b) < (width + 1) * 3;
          ASSERT_EQ(out[b], inside ? TintFormula(before[b], target[b % 3], 200) : before[b])
              << SimdLevelName(k.level) << (inPlace ? " in place" : " apart") << " width " << width << " byte " << b;
        }
      }
}

TEST(FadeTable, HoldsTheRoundedDownStepsOfTheFade) {
  const FadeTable table;
  EXPECT_EQ(table.bytes().size(), size_t(16 * 256 * 256));
  EXPECT_EQ(table.at(255, 0, 8), 127);
  EXPECT_EQ(table.at(0, 255, 15), 15);
  EXPECT_EQ(table.at(0, 255, 1), 239);  // 255 - 15.9375, rounded towards minus infinity
  EXPECT_EQ(table.bytes()[255 * 4096 + 0 * 16 + 8], 127);
  for (int v = 0; v < 256; ++v) EXPECT_EQ(table.at(v * 7 % 256, v, 0), v);
}

TEST(FadeTable, EveryCrossFadeStepEqualsTheTable) {
  const FadeTable table;
  constexpr size_t kPairs = 65536;
  std::vector<uint8_t> target(kPairs), work(kPairs);
  for (const BlendKernels& k : AvailableKernels()) {
    for (int step = 0; step < 16; ++step) {
      for (size_t i = 0; i < kPairs; ++i) {
        target[i] = uint8_t(i >> 8);
        work[i] = uint8_t(i & 255);
      }
      k.crossFade(work.data(), target.data(), kPairs, step);
      for (size_t i = 0; i < kPairs; ++i)
        ASSERT_EQ(work[i], table.at(int(i >> 8), int(i & 255), step))
            << SimdLevelName(k.level) << " new " << (i >> 8) << " old " << (i & 255) << " step " << step;
    }
  }
}

TEST(FadeTable, ARisingAndAFallingChannelTakeTheKnownValues) {
  Image work = Picture(2, 1, [](int x, int) { return x == 0 ? Rgb{0, 0, 0} : Rgb{255, 255, 255}; });
  const Image target = Picture(2, 1, [](int x, int) { return x == 0 ? Rgb{255, 255, 255} : Rgb{0, 0, 0}; });
  std::vector<int> rising, falling;
  for (int step = 0; step < 16; ++step) {
    CrossFadeStep(work, target, step);
    rising.push_back(work.Pixel(0, 0).g);
    falling.push_back(work.Pixel(1, 0).g);
  }
  EXPECT_EQ(rising, (std::vector<int>{0, 15, 45, 84, 126, 166, 199, 223, 239, 248, 252, 254, 254, 254, 254, 254}));
  EXPECT_EQ(falling, (std::vector<int>{255, 239, 209, 169, 126, 86, 53, 29, 14, 6, 2, 0, 0, 0, 0, 0}));
}

// --- where pictures land ---

const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};

// A picture whose every pixel says where in the picture it sits.
Image Located(int width, int height) {
  return Picture(width, height, [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), 77}; });
}

TEST(StagePlacement, APictureOffTheLeftEdgeStartsAtItsOwnFirstColumn) {
  Image stage(kStageWidth, kStageHeight);
  PasteOpaque(stage, Located(30, 10), -10, 5);
  // Stage columns 0..19 show picture columns 0..19; nothing is shifted by the offset.
  EXPECT_EQ(stage.Pixel(0, 5), (Rgb{0, 0, 77}));
  EXPECT_EQ(stage.Pixel(19, 14), (Rgb{19, 9, 77}));
  EXPECT_EQ(stage.Pixel(20, 5), kBlack);
  EXPECT_EQ(stage.Pixel(0, 4), kBlack);
  EXPECT_EQ(stage.Pixel(0, 15), kBlack);
}

TEST(StagePlacement, PicturesAreCutAtTheRightBottomAndTopEdges) {
  Image stage(kStageWidth, kStageHeight);
  PasteOpaque(stage, Located(30, 20), 630, 470);
  EXPECT_EQ(stage.Pixel(630, 470), (Rgb{0, 0, 77}));
  EXPECT_EQ(stage.Pixel(639, 479), (Rgb{9, 9, 77}));
  Image top(kStageWidth, kStageHeight);
  PasteMasked(top, Picture(20, 10, [](int x, int y) { return x < 10 ? Rgb{uint8_t(y), 1, 2} : kBlack; }), 3, -4);
  // Rows above the stage are left out; picture row 4 lands on stage row 0.
  EXPECT_EQ(top.Pixel(3, 0).r, (255 * 4 + 0) >> 8);
  EXPECT_EQ(top.Pixel(3, 5).r, (255 * 9) >> 8);
  EXPECT_EQ(top.Pixel(3, 6), kBlack);
  EXPECT_TRUE(PlacePicture(640, 0, 10, 10).empty());
  EXPECT_TRUE(PlacePicture(-10, 0, 10, 10).empty());
  EXPECT_TRUE(PlacePicture(0, -10, 10, 10).empty());
  EXPECT_TRUE(PlacePicture(2147483600, 2147483600, 100, 100).empty());
}

TEST(StagePlacement, ColourKeyLeavesOutEveryPixelOfTheTopLeftColour) {
  Image stage = Solid(kStageWidth, kStageHeight, kRed);
  const Rgb key{0, 255, 0};
  Image sprite = Picture(4, 2, [&](int x, int y) { return (x + y) % 2 == 0 ? key : Rgb{uint8_t(x), uint8_t(y), 9}; });
  sprite.SetPixel(3, 1, Rgb{0, 255, 1});  // one channel off the key: drawn
  PasteColorKeyed(stage, sprite, 100, 50);
  EXPECT_EQ(stage.Pixel(100, 50), kRed);
  EXPECT_EQ(stage.Pixel(101, 50), (Rgb{1, 0, 9}));
  EXPECT_EQ(stage.Pixel(101, 51), kRed);
  EXPECT_EQ(stage.Pixel(103, 51), (Rgb{0, 255, 1}));
}

TEST(StagePlacement, MaskedPictureOfOddWidthUsesTheLowerHalf) {
  // Width 7: image columns 0..2, mask columns 3..5, column 6 ignored.
  Image sprite = Picture(7, 1, [](int x, int) {
    if (x < 3) return Rgb{200, 100, 50};
    if (x < 6) return x == 3 ? Rgb{0, 0, 0} : x == 4 ? Rgb{255, 255, 255} : Rgb{128, 64, 0};
    return Rgb{1, 2, 3};
  });
  Image stage = Solid(kStageWidth, kStageHeight, Rgb{10, 20, 30});
  PasteMasked(stage, sprite, 0, 0);
  auto blend = [](int i, int d, int m) { return uint8_t(((i - d) * (255 - m) + d * 256) >> 8); };
  EXPECT_EQ(stage.Pixel(0, 0), (Rgb{blend(200, 10, 0), blend(100, 20, 0), blend(50, 30, 0)}));
  EXPECT_EQ(stage.Pixel(1, 0), (Rgb{10, 20, 30}));
  EXPECT_EQ(stage.Pixel(2, 0), (Rgb{blend(200, 10, 128), blend(100, 20, 64), blend(50, 30, 0)}));
  EXPECT_EQ(stage.Pixel(3, 0), (Rgb{10, 20, 30}));
}

}  // namespace
}  // namespace orv::test
