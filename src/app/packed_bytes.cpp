#include "app/packed_bytes.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace orv {

// The bytes (or their difference from the base) are first written as runs: a count of zero
// bytes, a count of other bytes, those bytes, and again. What stays is deflated. Unpacking
// inflates only the runs, which for a layer that changed in a few lines is a few kilobytes,
// and then fills the zeros by copying the base: no pass over a megabyte of inflated zeros.
namespace {

// Zero runs shorter than this stay inside the bytes around them: a run costs its counts.
constexpr size_t kShortestZeroRun = 8;

void PutCount(std::vector<uint8_t>& out, size_t count) {
  while (count >= 0x80) {
    out.push_back(uint8_t(count | 0x80));
    count >>= 7;
  }
  out.push_back(uint8_t(count));
}

bool TakeCount(std::span<const uint8_t> in, size_t& at, size_t& count) {
  count = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (at >= in.size()) return false;
    const uint8_t b = in[at++];
    count |= size_t(b & 0x7F) << shift;
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

uint8_t DifferenceAt(std::span<const uint8_t> bytes, std::span<const uint8_t> base, size_t i) {
  return base.empty() ? bytes[i] : uint8_t(bytes[i] ^ base[i]);
}

std::vector<uint8_t> Runs(std::span<const uint8_t> bytes, std::span<const uint8_t> base) {
  std::vector<uint8_t> runs;
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t zerosFrom = i;
    while (i < bytes.size() && DifferenceAt(bytes, base, i) == 0) ++i;
    const size_t literalFrom = i;
    size_t zerosSeen = 0;
    while (i < bytes.size() && zerosSeen < kShortestZeroRun) {
      zerosSeen = DifferenceAt(bytes, base, i) == 0 ? zerosSeen + 1 : 0;
      ++i;
    }
    if (zerosSeen == kShortestZeroRun) i -= zerosSeen;  // those zeros start the next run
    PutCount(runs, literalFrom - zerosFrom);
    PutCount(runs, i - literalFrom);
    for (size_t k = literalFrom; k < i; ++k) runs.push_back(DifferenceAt(bytes, base, k));
  }
  return runs;
}

}  // namespace

PackedBytes PackedBytes::Pack(std::span<const uint8_t> bytes, std::span<const uint8_t> base) {
  PackedBytes packed;
  packed.broken_ = false;
  packed.size_ = bytes.size();
  packed.againstBase_ = !base.empty() && base.size() == bytes.size();
  const std::vector<uint8_t> runs = Runs(bytes, packed.againstBase_ ? base : std::span<const uint8_t>());
  packed.runsSize_ = runs.size();
  // The fastest level: a step back must never wait on the advance that recorded it.
  uLongf length = compressBound(uLong(runs.size()));
  packed.deflated_.resize(length);
  if (compress2(packed.deflated_.data(), &length, runs.data(), uLong(runs.size()), Z_BEST_SPEED) != Z_OK) {
    // zlib fails here only without memory: this part is then unusable, and says so on unpacking.
    packed.deflated_.clear();
    packed.broken_ = true;
    return packed;
  }
  packed.deflated_.resize(length);
  packed.deflated_.shrink_to_fit();
  return packed;
}

bool PackedBytes::UnpackInto(std::span<uint8_t> out, std::span<const uint8_t> base) const {
  if (broken_ || out.size() != size_ || (againstBase_ && base.size() != size_)) return false;
  std::vector<uint8_t> runs(runsSize_);
  uLongf length = uLongf(runs.size());
  if (uncompress(runs.data(), &length, deflated_.data(), uLong(deflated_.size())) != Z_OK || length != runs.size())
    return false;
  size_t at = 0, written = 0;
  while (at < runs.size()) {
    size_t zeros = 0, literal = 0;
    if (!TakeCount(runs, at, zeros) || !TakeCount(runs, at, literal)) return false;
    if (zeros > size_ - written || literal > size_ - written - zeros || literal > runs.size() - at) return false;
    if (againstBase_)
      std::memcpy(out.data() + written, base.data() + written, zeros);
    else
      std::memset(out.data() + written, 0, zeros);
    written += zeros;
    for (size_t k = 0; k < literal; ++k, ++written)
      out[written] = againstBase_ ? uint8_t(runs[at + k] ^ base[written]) : runs[at + k];
    at += literal;
  }
  return written == size_;
}

}  // namespace orv
