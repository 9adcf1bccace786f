// The ARC1 encoder, and both decoders on its output and on random bytes.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "graphics/arc1.h"
#include "graphics/arc1_encoder.h"
#include "graphics/arc1_fast.h"
#include "graphics/arc1_test_support.h"

namespace orv {
namespace {

using test::Arc1Bits;
using test::Arc1File;
using test::Arc1Outcome;
using test::OutcomeOf;

Bytes Encode(const Bytes& data) {
  Result<Bytes> encoded = EncodeArc1File(data);
  EXPECT_TRUE(encoded.ok());
  return std::move(encoded).value_or(Bytes());
}

// The fast decoder's variants besides its default: in one lane always, or (forced, whatever
// the size) in two.
const Arc1FastOptions kVariants[] = {
    {.minSplitOutput = SIZE_MAX},
    {.minSplitOutput = 0, .minSplitPayload = 0},
};

Bytes DecodeWith(const Bytes& file, const Arc1FastOptions& options) {
  const auto parts = SplitArc1File(file);
  if (!parts || parts->unpackedSize > kArc1MaxUnpackedBytes) return {};
  Bytes out(parts->unpackedSize);
  if (!DecodeArc1Into(parts->payload, out, options)) return {};
  return out;
}

void ExpectRoundTrip(const Bytes& data) {
  const Bytes file = Encode(data);
  const Arc1Outcome fast = OutcomeOf(DecodeArc1File(file));
  EXPECT_TRUE(fast.ok());
  EXPECT_TRUE(fast.output == data) << "fast decoder, " << data.size() << " bytes";
  const Arc1Outcome reference = OutcomeOf(DecodeArc1FileReference(file));
  EXPECT_TRUE(reference.output == data) << "bit-by-bit decoder, " << data.size() << " bytes";
  for (const auto& options : kVariants)
    EXPECT_TRUE(DecodeWith(file, options) == data)
        << "fast decoder variant " << (&options - kVariants) << ", " << data.size() << " bytes";
}

TEST(Arc1Encoder, SingleByteValueGivesALoneLeafAndNoCodes) {
  EXPECT_EQ(Encode(Bytes(4, 'A')), (Bytes{'A', 'R', 'C', '1', 4, 0, 0, 0, 0x20, 0x80}));
  EXPECT_EQ(Encode(Bytes(100000, 'A')).size(), 10u);
  EXPECT_EQ(Encode({}), (Bytes{'A', 'R', 'C', '1', 0, 0, 0, 0, 0x00, 0x00}));
}

TEST(Arc1Encoder, WritesTheTreeInPreOrderAndAnOptimalCode) {
  // Frequencies 4, 2, 1: code lengths 1, 2, 2; 29 tree bits + 10 code bits = 5 bytes.
  const Bytes file = Encode({'A', 'B', 'A', 'C', 'A', 'B', 'A'});
  EXPECT_EQ(file.size(), 8u + 5u);
  ExpectRoundTrip({'A', 'B', 'A', 'C', 'A', 'B', 'A'});

  // Two values, the rarer one on the left: the tree of the worked example, codes 0 1 1 1.
  EXPECT_EQ(Encode({0x41, 0x42, 0x42, 0x42}), (Bytes{'A', 'R', 'C', '1', 4, 0, 0, 0, 0x90, 0x48, 0x4E}));
}

TEST(Arc1RoundTrip, DistributionsFromFlatToSkewed) {
  std::mt19937 random(1234);
  // Every byte value: the full 255-node tree.
  Bytes all(70000);
  for (auto& byte : all) byte = uint8_t(random());
  ExpectRoundTrip(all);

  // Geometric: very short codes, several per table lookup.
  for (double p : {0.9, 0.6, 0.3, 0.1}) {
    std::geometric_distribution<int> geometric(p);
    Bytes data(50000 + size_t(p * 1000));
    for (auto& byte : data) byte = uint8_t(geometric(random));
    ExpectRoundTrip(data);
  }

  // Doubling frequencies: codes of 1 up to 20 bits, many of them past the table.
  Bytes skewed;
  for (int value = 0; value < 20; ++value) skewed.insert(skewed.end(), size_t(1) << value, uint8_t(value * 13));
  std::shuffle(skewed.begin(), skewed.end(), random);
  ExpectRoundTrip(skewed);

  // Short lengths, to cross every tail boundary of the fast decoder.
  for (size_t size = 1; size < 64; ++size) ExpectRoundTrip(Bytes(all.begin(), all.begin() + size));
}

TEST(Arc1RoundTrip, SmoothPicture) {
  // A small 24-bit BMP with gradients, as the kit's pictures are.
  const int width = 96, height = 64, stride = width * 3;
  Bytes bmp(54 + size_t(stride) * height, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutU32LE(&bmp[2], uint32_t(bmp.size()));
  PutU32LE(&bmp[10], 54);
  PutU32LE(&bmp[14], 40);
  PutU32LE(&bmp[18], width);
  PutU32LE(&bmp[22], height);
  bmp[26] = 1;
  bmp[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &bmp[54 + size_t(y) * stride + size_t(x) * 3];
      pixel[0] = uint8_t(x * 2);
      pixel[1] = uint8_t(y * 3);
      pixel[2] = uint8_t((x + y) / 2);
    }
  ExpectRoundTrip(bmp);
  EXPECT_LT(Encode(bmp).size(), bmp.size());
}

TEST(Arc1RoundTrip, RandomFilesDecodeAlikeInBothDecoders) {
  std::mt19937 random(99);
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    // Biased bits make small trees common and big ones possible; sizes beyond the payload
    // exercise the zero tail.
    std::bernoulli_distribution one(round % 3 == 0 ? 0.5 : 0.35);
    Arc1Bits bits;
    const int payloadBits = int(random() % 4000);
    for (int i = 0; i < payloadBits; ++i) bits.Put(one(random), 1);
    const Bytes file = Arc1File(random() % 3000, bits.ToBytes());
    const Arc1Outcome fast = OutcomeOf(DecodeArc1File(file));
    const Arc1Outcome reference = OutcomeOf(DecodeArc1FileReference(file));
    ASSERT_EQ(fast.error, reference.error) << "round " << round;
    ASSERT_TRUE(fast.output == reference.output) << "round " << round;
    for (const auto& options : kVariants)
      ASSERT_TRUE(DecodeWith(file, options) == reference.output) << "round " << round << " variant " << (&options - kVariants);
    refused += !fast.ok();
  }
  EXPECT_GT(refused, 0);
  EXPECT_LT(refused, 3000);
}

TEST(Arc1RoundTrip, LargeGarbageAfterAValidTree) {
  // Big enough for two lanes at the default sizes; the codes are random bits, so the lanes
  // have to find each other in arbitrary data.
  std::mt19937 random(7);
  for (int round = 0; round < 12; ++round) {
    std::geometric_distribution<int> geometric(round % 2 ? 0.5 : 0.08);
    Bytes sample(5000);
    for (auto& byte : sample) byte = uint8_t(geometric(random));
    Bytes file = Encode(sample);
    file.resize(8 + 100 + 20000 + random() % 40000);
    for (size_t i = 8 + 100; i < file.size(); ++i) file[i] = uint8_t(random());
    PutU32LE(&file[4], uint32_t(70000 + random() % 300000));
    const Bytes reference = OutcomeOf(DecodeArc1FileReference(file)).output;
    ASSERT_EQ(reference.size(), GetU32LE(&file[4]));
    ASSERT_TRUE(OutcomeOf(DecodeArc1File(file)).output == reference) << "round " << round;
    for (const auto& options : kVariants)
      ASSERT_TRUE(DecodeWith(file, options) == reference) << "round " << round << " variant " << (&options - kVariants);
  }
}

TEST(Arc1RoundTrip, LanesThatNeverMeet) {
  // Fixed 8-bit codes (a full tree, leaves 0..255 from left to right) never resynchronise:
  // a second lane started off a code boundary stays off it, and the first lane must decode
  // everything itself.
  Arc1Bits bits;
  std::function<void(int, int)> subtree = [&](int depth, int first) {
    if (depth == 8) {
      bits.Leaf(uint8_t(first));
      return;
    }
    bits.Internal();
    subtree(depth + 1, first);
    subtree(depth + 1, first + (128 >> depth));
  };
  subtree(0, 0);
  std::mt19937 random(3);
  Bytes data(100003);
  for (auto& byte : data) {
    byte = uint8_t(random());
    bits.Put(byte, 8);
  }
  const Bytes file = Arc1File(uint32_t(data.size()), bits.ToBytes());
  EXPECT_TRUE(OutcomeOf(DecodeArc1File(file)).output == data);
  EXPECT_TRUE(OutcomeOf(DecodeArc1FileReference(file)).output == data);
  for (const auto& options : kVariants) EXPECT_TRUE(DecodeWith(file, options) == data);
}

}  // namespace
}  // namespace orv
