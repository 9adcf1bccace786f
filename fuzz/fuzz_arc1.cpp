// ARC1 decoding of arbitrary bytes: the fast decoder (every variant) must give
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
  constexpr uint32_t kMaxCompared = 16 << 10;
  if (parts && parts->unpackedSize > kMaxCompared) {
    if (parts->unpackedSize > kArc1MaxUnpackedBytes) {
      const Result<Bytes> refused = DecodeArc1File(file);
      if (refused || refused.error().message != kArc1SizeError) std::abort();
    }
    return 0;
  }
  // Errors compare by message, outputs byte for byte.
  auto outcome = [](const Result<Bytes>& r) {
    return r ? std::pair{*r, std::string()} : std::pair{Bytes(), r.error().message};
  };
  const auto fast = outcome(DecodeArc1File(file));
  const auto reference = outcome(DecodeArc1FileReference(file));
  if (fast != reference) std::abort();
  if (!parts) return 0;
  // The other variants: one lane always, and two lanes whatever the size.
  for (const Arc1FastOptions options :
       {Arc1FastOptions{.minSplitOutput = SIZE_MAX}, Arc1FastOptions{.minSplitOutput = 0, .minSplitPayload = 0}}) {
    Bytes out(parts->unpackedSize);
    const Result<void> decoded = DecodeArc1Into(parts->payload, out, options);
    const std::string error = decoded ? std::string() : decoded.error().message;
    if (error != reference.second || (decoded && out != reference.first)) std::abort();
  }
  return 0;
}
