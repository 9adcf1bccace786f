#pragma once
// RANDOM's numbers: the runtime's linear congruential generator and the rules that turn its
// draws into a value between two bounds.
#include <cstdint>
#include <optional>

namespace orv {

// Advances the state (state * 22695477 + 1, modulo 2^32) and returns bits 16 to 30 of the new
// state: 0..32767.
int32_t NextRandom(uint32_t& state);

// The value RANDOM stores for the bounds, drawing from `state` as needed; nothing when the
// bounds leave the target unchanged (low >= 0, high <= 0, not both 0). No pair of bounds
// divides by zero or overflows:
//   low < 0 <= high:    an even draw gives -(r mod |low|), an odd one r mod high (0 when
//                       high is 0);
//   0 <= low, 0 < high: low + r mod (high - low + 1), with C's remainder (so high < low - 1
//                       still lands at or above low); high = low - 1 gives low;
//   both negative:      min + r mod (max - min + 1), a value between the two, inclusive.
std::optional<int32_t> RandomBetween(int32_t low, int32_t high, uint32_t& state);

}  // namespace orv
