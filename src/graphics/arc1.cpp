#include "graphics/arc1.h"

#include "graphics/arc1_fast.h"

namespace orv {

namespace {

// Loads the next payload byte; past the end the stream continues with zero bytes, so a
// truncated payload decodes deterministically instead of reading outside the buffer.
uint16_t NextPayloadByte(Arc1Decoder& d) {
  uint16_t byte = d.readPos < d.payload.size() ? d.payload[d.readPos] : 0;
  ++d.readPos;
  if (d.readPos == 0) --d.readPos;  // stay past the end rather than wrap to the start
  return byte;
}

}  // namespace

std::optional<Arc1Parts> SplitArc1File(ByteSpan fileBytes) {
  if (fileBytes.size() < kArc1HeaderBytes) return std::nullopt;
  if (fileBytes[0] != 'A' || fileBytes[1] != 'R' || fileBytes[2] != 'C' || fileBytes[3] != '1') return std::nullopt;
  return Arc1Parts{GetU32LE(fileBytes.data() + 4), fileBytes.subspan(kArc1HeaderBytes)};
}

int ReadBit(Arc1Decoder& d) {
  --d.bitsLeft;
  if (d.bitsLeft >= 0) return (d.currentByte >> d.bitsLeft) & 1;
  d.bitsLeft = 7;
  d.currentByte = NextPayloadByte(d);
  return (d.currentByte >> 7) & 1;
}

uint16_t ReadBits(Arc1Decoder& d, int n) {
  uint32_t result = 0;
  while (n > d.bitsLeft) {
    n -= d.bitsLeft;
    result |= uint32_t(d.currentByte & ((1u << d.bitsLeft) - 1)) << n;
    d.currentByte = NextPayloadByte(d);
    d.bitsLeft = 8;
  }
  d.bitsLeft = int16_t(d.bitsLeft - n);
  return uint16_t(result | ((d.currentByte >> d.bitsLeft) & ((1u << n) - 1)));
}

// Recursion depth is bounded by the node limit: every level below the root owns a freshly
// numbered internal node, and numbering stops (with treeTooLarge) after 255 of them.
int16_t ReadArc1Tree(Arc1Decoder& d) {
  if (ReadBit(d) == 0) return int16_t(ReadBits(d, 8));
  int16_t node = d.nextNode++;
  if (node >= kArc1NodeLimit) {
    d.treeTooLarge = true;
    return 0;
  }
  d.left[node] = ReadArc1Tree(d);
  if (d.treeTooLarge) return 0;
  d.right[node] = ReadArc1Tree(d);
  if (d.treeTooLarge) return 0;
  return node;
}

Result<void> DecodeArc1(Arc1Decoder& d, uint32_t count) {
  d.nextNode = kArc1FirstNode;
  const int16_t root = ReadArc1Tree(d);
  if (d.treeTooLarge) return Arc1TreeError();
  for (uint32_t i = 0; i < count && d.outLen < d.output.size(); ++i) {
    int16_t current = root;
    while (current >= kArc1FirstNode) current = ReadBit(d) ? d.right[current] : d.left[current];
    d.output[d.outLen++] = uint8_t(current);
  }
  return {};
}

Result<void> LoadArc1File(Arc1Decoder& d, ByteSpan fileBytes) {
  const auto parts = SplitArc1File(fileBytes);
  if (!parts) return {};
  if (parts->unpackedSize > kArc1MaxUnpackedBytes) return Arc1SizeError();
  d.payload.assign(parts->payload.begin(), parts->payload.end());
  d.output.assign(parts->unpackedSize, 0);
  Result<void> decoded = DecodeArc1(d, parts->unpackedSize);
  if (!decoded) d.output.clear();
  return decoded;
}

Result<Bytes> DecodeArc1FileReference(ByteSpan fileBytes) {
  Arc1Decoder decoder;
  if (Result<void> loaded = LoadArc1File(decoder, fileBytes); !loaded) return loaded.error();
  return std::move(decoder.output);
}

Result<Bytes> DecodeArc1File(ByteSpan fileBytes) { return DecodeArc1FileFast(fileBytes); }

Result<Bytes> DecodeArc1FileStart(ByteSpan fileBytes, size_t count) { return DecodeArc1FileFast(fileBytes, count); }

}  // namespace orv
