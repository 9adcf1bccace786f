#include "graphics/arc1_fast.h"

namespace orv {

Arc1Result DecodeArc1Payload(uint32_t unpackedSize, ByteSpan payload) {
  Bytes file = {'A', 'R', 'C', '1'};
  AppendU32LE(file, unpackedSize);
  file.insert(file.end(), payload.begin(), payload.end());
  return DecodeArc1FileReference(file);
}

Arc1Result DecodeArc1FileFast(ByteSpan fileBytes) {
  const auto parts = SplitArc1File(fileBytes);
  if (!parts) return {};
  if (parts->unpackedSize > kArc1MaxUnpackedBytes) return {{}, std::string(kArc1SizeError)};
  return DecodeArc1Payload(parts->unpackedSize, parts->payload);
}

}  // namespace orv
