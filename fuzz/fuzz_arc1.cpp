// ARC1 decoding of arbitrary bytes: the fast decoder must give exactly what the bit-by-bit
// decoder gives, errors included. A mismatch aborts, so the fuzzer reports it like a crash.
#include <cstdlib>

#include "graphics/arc1.h"
#include "graphics/arc1_fast.h"

using namespace orv;

namespace {

// The bit-by-bit decoder may read 255 bits per byte, and every fast decode builds its 4096-entry
// tables; small outputs keep both quick. Larger sizes still go through the size check.
constexpr uint32_t kMaxCompared = 4 << 10;

// The fast decoder as the player runs it (DecodeArc1File), without BMI, and in two lanes
// whatever the size, with and without BMI. Each input tries one, chosen by its length, so that
// every variant meets every kind of input without paying for all four each time.
enum class Variant { kPlayer, kNoBmi, kTwoLanes, kTwoLanesNoBmi };

Arc1FastOptions OptionsFor(Variant variant) {
  const bool bmi = variant == Variant::kPlayer || variant == Variant::kTwoLanes;
  if (variant == Variant::kTwoLanes || variant == Variant::kTwoLanesNoBmi)
    return Arc1FastOptions{.allowCpuExtensions = bmi, .minSplitOutput = 0, .minSplitPayload = 0};
  return Arc1FastOptions{.allowCpuExtensions = bmi};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ByteSpan file(data, size);
  const auto parts = SplitArc1File(file);
  if (parts && parts->unpackedSize > kMaxCompared) {
    if (parts->unpackedSize > kArc1MaxUnpackedBytes && DecodeArc1File(file).error != kArc1SizeError) std::abort();
    return 0;
  }
  const Arc1Result reference = DecodeArc1FileReference(file);
  if (!parts) {
    // No ARC1 data: nothing decoded and nothing wrong, by either decoder.
    const Arc1Result fast = DecodeArc1File(file);
    if (!fast.ok() || !fast.output.empty() || !reference.ok() || !reference.output.empty()) std::abort();
    return 0;
  }
  const auto variant = Variant(size % 4);
  if (variant == Variant::kPlayer) {
    const Arc1Result fast = DecodeArc1File(file);
    if (fast.error != reference.error || fast.output != reference.output) std::abort();
    return 0;
  }
  Bytes out(parts->unpackedSize);
  const auto error = DecodeArc1Into(parts->payload, out, OptionsFor(variant));
  if (error != reference.error || (error.empty() && out != reference.output)) std::abort();
  return 0;
}
