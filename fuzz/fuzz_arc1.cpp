// ARC1 decoding of arbitrary bytes: the fast decoder (with and without BMI) must give
// exactly what the bit-by-bit decoder gives, errors included. A mismatch aborts, so the
// fuzzer reports it like a crash.
#include <cstdlib>

#include "graphics/arc1.h"
#include "graphics/arc1_fast.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ByteSpan file(data, size);
  const auto parts = SplitArc1File(file);
  // The bit-by-bit decoder may read 255 bits per byte; keep its outputs small enough to stay
  // fast. Larger sizes still go through the size check.
  constexpr uint32_t kMaxCompared = 64 << 10;
  if (parts && parts->unpackedSize > kMaxCompared) {
    if (parts->unpackedSize > kArc1MaxUnpackedBytes && DecodeArc1File(file).error != kArc1SizeError) std::abort();
    return 0;
  }
  const Arc1Result fast = DecodeArc1File(file);
  const Arc1Result reference = DecodeArc1FileReference(file);
  if (fast.error != reference.error || fast.output != reference.output) std::abort();
  if (parts) {
    Bytes plain(parts->unpackedSize);
    const auto error = DecodeArc1Into(parts->payload, plain, /*allowCpuExtensions=*/false);
    if (error != reference.error || (error.empty() && plain != reference.output)) std::abort();
  }
  return 0;
}
