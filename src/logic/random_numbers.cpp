#include "logic/random_numbers.h"

#include <algorithm>

namespace orv {

namespace {
int32_t Wrap(int64_t value) { return int32_t(uint32_t(uint64_t(value))); }
}  // namespace

int32_t NextRandom(uint32_t& state) {
  state = state * 22695477u + 1u;
  return int32_t((state >> 16) & 0x7FFFu);
}

std::optional<int32_t> RandomBetween(int32_t low, int32_t high, uint32_t& state) {
  if (low < 0 && high >= 0) {
    const bool lowSide = NextRandom(state) % 2 == 0;
    const int64_t r = NextRandom(state);
    if (lowSide) return Wrap(-(r % int64_t(low)));
    return high == 0 ? 0 : int32_t(r % high);
  }
  if (low < 0 && high < 0) {
    const int64_t from = std::min(low, high), to = std::max(low, high);
    return Wrap(from + NextRandom(state) % (to - from + 1));
  }
  if (low == 0 && high == 0) return 0;
  if (high <= 0) return std::nullopt;
  const int64_t span = int64_t(high) - low + 1;
  if (span == 0) return low;
  return Wrap(low + NextRandom(state) % span);
}

}  // namespace orv
