// The rollback ring's bookkeeping: which point is on show, what recording while stepped back
// drops, what the limits evict, and that shared parts are counted once and freed with the last
// point that holds them.
#include <gtest/gtest.h>

#include "app/packed_bytes.h"
#include "app/rollback_ring.h"

namespace orv::test {
namespace {

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  for (uint8_t& b : bytes) {
    seed = seed * 1664525u + 1013904223u;
    b = uint8_t(seed >> 24);
  }
  return bytes;
}

// A point whose only part is `bytes`, tagged so a test can tell points apart.
RollbackPoint PointOf(const RollbackRing& ring, const std::vector<uint8_t>& bytes, int tag) {
  RollbackPoint point;
  point.parts[size_t(RollbackPart::Screen)] = ring.Pack(RollbackPart::Screen, bytes);
  point.extra = std::make_shared<int>(tag);
  point.extraBytes = sizeof(int);
  return point;
}

int Tag(const RollbackPoint* point) { return point ? *static_cast<const int*>(point->extra.get()) : -1; }

TEST(PackedBytes, RoundTripsAloneAndAgainstABaseAndRefusesWhatDoesNotFit) {
  const std::vector<uint8_t> base = Noise(640 * 480 * 3, 1);
  std::vector<uint8_t> layer = base;
  for (size_t i = 5000; i < 9000; ++i) layer[i] = uint8_t(i);  // a line of text drawn over it

  const PackedBytes against = PackedBytes::Pack(layer, base);
  const PackedBytes alone = PackedBytes::Pack(layer);
  // Against its base only what was drawn costs anything.
  EXPECT_LT(against.packedSize(), 16u * 1024);
  EXPECT_GT(alone.packedSize(), layer.size() / 2);

  std::vector<uint8_t> out(layer.size());
  ASSERT_TRUE(against.UnpackInto(out, base));
  EXPECT_EQ(out, layer);
  ASSERT_TRUE(alone.UnpackInto(out));
  EXPECT_EQ(out, layer);

  // Without its base, or into the wrong size, nothing is claimed to be restored.
  EXPECT_FALSE(against.UnpackInto(out));
  std::vector<uint8_t> shorter(layer.size() - 1);
  EXPECT_FALSE(alone.UnpackInto(shorter));
  EXPECT_FALSE(PackedBytes().UnpackInto(shorter));
}

TEST(RollbackRing, StepsBackAndForthAndRecordingWhileBackDropsThePointsAhead) {
  RollbackRing ring;
  EXPECT_EQ(ring.StepBack(), nullptr);
  for (int tag = 0; tag < 4; ++tag) ring.Record(PointOf(ring, Noise(1000, uint32_t(tag)), tag));
  EXPECT_EQ(Tag(ring.Current()), 3);
  EXPECT_EQ(ring.StepForward(), nullptr);

  EXPECT_EQ(Tag(ring.StepBack()), 2);
  EXPECT_EQ(Tag(ring.StepBack()), 1);
  EXPECT_EQ(ring.ahead(), 2u);
  EXPECT_EQ(Tag(ring.StepForward()), 2);
  ring.Undo(false);  // that step could not be shown
  EXPECT_EQ(Tag(ring.Current()), 1);

  ring.Record(PointOf(ring, Noise(1000, 99), 99));
  EXPECT_EQ(ring.depth(), 3u);
  EXPECT_EQ(ring.ahead(), 0u);
  EXPECT_EQ(Tag(ring.StepBack()), 1);
  EXPECT_EQ(Tag(ring.StepBack()), 0);
  // The dropped points' memory went with them.
  RollbackRing fresh;
  for (int tag : {0, 1, 99}) fresh.Record(PointOf(fresh, Noise(1000, uint32_t(tag)), tag));
  EXPECT_EQ(ring.bytes(), fresh.bytes());
}

TEST(RollbackRing, SharedPartsCountOnceAndTheLimitsEvictTheOldest) {
  const std::vector<uint8_t> same = Noise(100000, 7);
  RollbackRing ring;
  ring.Record(PointOf(ring, same, 0));
  const size_t one = ring.bytes();
  ring.Record(PointOf(ring, same, 1));
  ring.Record(PointOf(ring, same, 2));
  // The part is shared, not packed again: each further point costs only its own bookkeeping.
  EXPECT_EQ(ring.Current()->parts[size_t(RollbackPart::Screen)].bytes.get(),
            ring.StepBack()->parts[size_t(RollbackPart::Screen)].bytes.get());
  const size_t perPoint = (ring.bytes() - one) / 2;
  EXPECT_LT(perPoint, 1000u);

  // Parts differ from point to point: the byte limit keeps the newest that fit.
  RollbackRing bounded({.maxPoints = 500, .maxBytes = 350000});
  for (int tag = 0; tag < 10; ++tag) bounded.Record(PointOf(bounded, Noise(100000, uint32_t(tag + 1)), tag));
  EXPECT_EQ(bounded.depth(), 3u);
  EXPECT_LE(bounded.bytes(), 350000u);
  EXPECT_EQ(Tag(bounded.Current()), 9);
  EXPECT_EQ(Tag(bounded.StepBack()), 8);
  EXPECT_EQ(Tag(bounded.StepBack()), 7);
  EXPECT_EQ(bounded.StepBack(), nullptr);

  // The count limit, with a shared part: dropping the oldest keeps what the next still holds.
  RollbackRing counted({.maxPoints = 3, .maxBytes = size_t(1) << 30});
  for (int tag = 0; tag < 5; ++tag) counted.Record(PointOf(counted, same, tag));
  EXPECT_EQ(counted.depth(), 3u);
  EXPECT_EQ(counted.bytes(), one + 2 * perPoint);
  std::vector<uint8_t> out(same.size());
  ASSERT_TRUE(counted.Current()->parts[size_t(RollbackPart::Screen)].bytes->UnpackInto(out));
  EXPECT_EQ(out, same);
  // A single point larger than the limit still stays: the newest is always there.
  RollbackRing tiny({.maxPoints = 500, .maxBytes = 10});
  tiny.Record(PointOf(tiny, same, 0));
  tiny.Record(PointOf(tiny, Noise(100000, 3), 1));
  EXPECT_EQ(tiny.depth(), 1u);
  EXPECT_EQ(Tag(tiny.Current()), 1);
}

}  // namespace
}  // namespace orv::test
