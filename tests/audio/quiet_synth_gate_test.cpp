// The synthesizer stops rendering only once nothing could still be heard from it.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "platform/audio/quiet_synth_gate.h"

namespace orv {
namespace {

TEST(QuietSynthGate, StopsOnlyAfterTheSongTheVoicesAndATenthOfASecondOfTailHaveEnded) {
  QuietSynthGate gate;
  const size_t block = 1024;
  std::vector<float> silent(2 * block, 0.0f), tail(2 * block, 0.0f);
  tail[2 * block - 1] = 2.0f / 32768.0f;  // one sample of a reverb tail still above a 16-bit step

  EXPECT_TRUE(gate.ShouldRender(false, 0));      // before anything is known it renders
  gate.Rendered(true, 0, silent.data(), block);  // a song is open: silence in it is a rest
  for (int i = 0; i < 10; ++i) gate.Rendered(true, 0, silent.data(), block);
  EXPECT_FALSE(gate.Quiet());
  gate.Rendered(false, 3, silent.data(), block);  // voices still sound (quietly at first)
  EXPECT_FALSE(gate.Quiet());
  // The song and voices are over; a tail keeps it going, then 4410 silent frames end it.
  gate.Rendered(false, 0, tail.data(), block);
  for (int i = 0; i < 4; ++i) {
    gate.Rendered(false, 0, silent.data(), block);
    EXPECT_FALSE(gate.Quiet()) << i;
  }
  gate.Rendered(false, 0, silent.data(), block);  // 5120 frames
  EXPECT_TRUE(gate.Quiet());
  EXPECT_FALSE(gate.ShouldRender(false, 0));
  // The next song, or a voice that still sounds, brings it back at once.
  EXPECT_TRUE(gate.ShouldRender(true, 0));
  EXPECT_TRUE(gate.ShouldRender(false, 1));
  gate.Rendered(true, 0, silent.data(), block);
  EXPECT_FALSE(gate.Quiet());
  // A broken sample is not silence.
  std::vector<float> broken(2 * block, 0.0f);
  broken[7] = std::numeric_limits<float>::quiet_NaN();
  for (int i = 0; i < 10; ++i) gate.Rendered(false, 0, broken.data(), block);
  EXPECT_FALSE(gate.Quiet());
}

}  // namespace
}  // namespace orv
