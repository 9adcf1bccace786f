// The ARC1 decoders against hand-made files: both the bit-by-bit decoder and the fast one
// must give the same, exactly described results.
#include <gtest/gtest.h>

#include "graphics/allocation_watch.h"
#include "graphics/arc1.h"
#include "graphics/arc1_fast.h"
#include "graphics/arc1_test_support.h"

namespace orv {
namespace {

using test::Arc1Bits;
using test::Arc1File;
using test::Arc1Outcome;
using test::ChainTree;
using test::OutcomeOf;

// Runs both decoders and checks that they agree before handing back the result.
Arc1Outcome DecodeBoth(const Bytes& file) {
  Arc1Outcome reference = OutcomeOf(DecodeArc1FileReference(file));
  Arc1Outcome fast = OutcomeOf(DecodeArc1File(file));
  EXPECT_EQ(fast.error, reference.error);
  EXPECT_EQ(fast.output, reference.output);
  return fast;
}

TEST(Arc1Decoder, WorkedExampleDecodesAndLeavesTheSpareBitsUnread) {
  const Bytes file = {0x41, 0x52, 0x43, 0x31, 0x03, 0x00, 0x00, 0x00, 0x90, 0x48, 0x44};
  const Arc1Outcome result = DecodeBoth(file);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.output, (Bytes{0x41, 0x41, 0x42}));

  Arc1Decoder decoder;
  ASSERT_TRUE(LoadArc1File(decoder, file));
  EXPECT_EQ(decoder.outLen, 3u);
  EXPECT_EQ(decoder.readPos, 3u);
  EXPECT_EQ(decoder.bitsLeft, 2);  // the two spare bits
  EXPECT_EQ(decoder.nextNode, 257);
  EXPECT_EQ(decoder.left[256], 0x41);
  EXPECT_EQ(decoder.right[256], 0x42);
}

TEST(Arc1Decoder, CodesRunOnAsZeroBitsPastTheEndOfThePayload) {
  // The worked example asked for 6 bytes: 0 0 1, the two spare zero bits, then one bit past
  // the end, which reads as 0.
  EXPECT_EQ(DecodeBoth(Arc1File(6, {0x90, 0x48, 0x44})).output, (Bytes{0x41, 0x41, 0x42, 0x41, 0x41, 0x41}));
  // Cut inside the tree: the right leaf's last three bits and all codes read as zeros.
  EXPECT_EQ(DecodeBoth(Arc1File(3, {0x90, 0x48})).output, (Bytes{0x41, 0x41, 0x41}));
  // No payload at all: the root is a leaf of value 0.
  EXPECT_EQ(DecodeBoth(Arc1File(4, {})).output, Bytes(4, 0));
  // A deep tree whose all-zero path is long: the zero tail is cheap for the fast decoder.
  Arc1Bits deep;
  for (int k = 0; k < 40; ++k) deep.Internal();
  for (int k = 0; k <= 40; ++k) deep.Leaf(uint8_t(0x80 + k));
  EXPECT_EQ(DecodeBoth(Arc1File(1000, deep.ToBytes())).output, Bytes(1000, 0x80));
}

TEST(Arc1Decoder, LoneLeafRootRepeatsItsByteWithoutReadingCodes) {
  const Bytes payload = Arc1Bits().Leaf(0x2A).Put(0x7F, 7).ToBytes();  // trailing bits ignored
  EXPECT_EQ(DecodeBoth(Arc1File(5, payload)).output, Bytes(5, 0x2A));

  Arc1Decoder decoder;
  ASSERT_TRUE(LoadArc1File(decoder, Arc1File(5, payload)));
  EXPECT_EQ(decoder.readPos, 2u);
  EXPECT_EQ(decoder.bitsLeft, 7);
}

TEST(Arc1Decoder, FullTableOf255InternalNodesDecodes) {
  // The deepest possible tree: codes of up to 255 bits, far past the fast decoder's table.
  Arc1Bits bits = ChainTree(255);
  Bytes expected;
  for (int value : {0, 255, 7, 254, 128, 255, 3}) {
    expected.push_back(uint8_t(value));
    for (int k = 0; k < value; ++k) bits.Put(1, 1);
    if (value != 255) bits.Put(0, 1);
  }
  const Arc1Outcome result = DecodeBoth(Arc1File(uint32_t(expected.size()), bits.ToBytes()));
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.output, expected);
}

TEST(Arc1Decoder, TreeWith256InternalNodesIsRefused) {
  const Bytes file = Arc1File(10, ChainTree(256).ToBytes());
  const Arc1Outcome result = DecodeBoth(file);
  EXPECT_EQ(result.error, "\x83\x47\x83\x89\x81\x5B");
  EXPECT_TRUE(result.output.empty());

  // Abandoned at the 256th node: the tables were never written past their end.
  Arc1Decoder decoder;
  EXPECT_EQ(LoadArc1File(decoder, file).error().message, kArc1TreeError);
  EXPECT_EQ(decoder.nextNode, 512);
  EXPECT_TRUE(decoder.treeTooLarge);
  EXPECT_EQ(decoder.outLen, 0u);

  // Endless one bits describe an endless tree; it ends at the node limit, not in the stack.
  EXPECT_EQ(DecodeBoth(Arc1File(1, Bytes(100, 0xFF))).error, kArc1TreeError);
}

TEST(Arc1Decoder, HeaderEdgeCases) {
  // Unpacked size 0: nothing decoded, not even when the tree is broken.
  EXPECT_TRUE(DecodeBoth(Arc1File(0, {0x90, 0x48, 0x44})).output.empty());
  // No magic, an empty file, or a header cut short: no ARC1 data, passed over quietly.
  for (const Bytes& file : {Bytes{}, Bytes{'A', 'R', 'C'}, Bytes{'A', 'R', 'C', '1', 3, 0, 0},
                            Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0x90}, Bytes{'a', 'r', 'c', '1', 1, 0, 0, 0}}) {
    const Arc1Outcome result = DecodeBoth(file);
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.output.empty());
  }
}

// The unpacked size comes straight from the file: a ten-byte file asked for 256 MiB and got it.
// Now the largest BMP file of the largest picture the BMP decoder takes is the limit, and a
// size past it is refused before anything is allocated, by both decoders.
TEST(Arc1Decoder, UnpackedSizeIsCappedByTheLargestBmpAndRefusedBeforeAllocating) {
  ASSERT_EQ(Arc1File(256u << 20, {0x90, 0x48}).size(), 10u);
  for (uint32_t size : {kArc1MaxUnpackedBytes + 1, 256u << 20, 0xFFFFFFFFu}) {
    const Bytes file = Arc1File(size, {0x90, 0x48});
    test::AllocationWatch watch;
    const Result<Bytes> fast = DecodeArc1File(file);
    const Result<Bytes> reference = DecodeArc1FileReference(file);
    EXPECT_LT(watch.Largest(), size_t(1) << 16) << size;
    for (const Result<Bytes>* result : {&fast, &reference}) {
      ASSERT_FALSE(result->ok()) << size;
      EXPECT_EQ(result->error().kind, ErrorKind::TooLarge);
      EXPECT_EQ(result->error().message, kArc1SizeError);
    }
  }
  // A 32-bit picture of the most pixels the BMP decoder takes, behind the longest headers
  // and a full colour table, is not refused.
  EXPECT_GE(kArc1MaxUnpackedBytes, 14 + 124 + 16 + 1024 + 4 * uint64_t(kMaxPicturePixels));
  EXPECT_LT(kArc1MaxUnpackedBytes, uint32_t(65) << 20);
  const Result<Bytes> atLimit = DecodeArc1File(Arc1File(kArc1MaxUnpackedBytes, Arc1Bits().Leaf('B').ToBytes()));
  ASSERT_TRUE(atLimit.ok());
  EXPECT_EQ(atLimit->size(), kArc1MaxUnpackedBytes);
}

TEST(Arc1BitReader, ReadsMsbFirstAcrossByteBoundaries) {
  Arc1Decoder decoder;
  decoder.payload = {0xA5, 0x3C};  // 1010 0101  0011 1100
  EXPECT_EQ(ReadBits(decoder, 4), 0xA);
  EXPECT_EQ(ReadBits(decoder, 4), 0x5);  // n == bitsLeft: no new byte yet
  EXPECT_EQ(decoder.bitsLeft, 0);
  EXPECT_EQ(decoder.readPos, 1u);
  EXPECT_EQ(ReadBit(decoder), 0);  // now the second byte is loaded
  EXPECT_EQ(decoder.readPos, 2u);
  EXPECT_EQ(ReadBits(decoder, 7), 0x3C);

  decoder = Arc1Decoder();
  decoder.payload = {0xA5, 0x3C};
  EXPECT_EQ(ReadBit(decoder), 1);
  EXPECT_EQ(ReadBits(decoder, 12), 0x4A7);  // 0100101 00111
  EXPECT_EQ(ReadBits(decoder, 16), 0x8000);  // 1, 00 and then zeros past the end
  EXPECT_EQ(ReadBit(decoder), 0);
}

}  // namespace
}  // namespace orv
