#pragma once
// Builders for hand-made ARC1 trees and payloads in the ARC1 tests.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/bytes.h"
#include "platform/result.h"

namespace orv::test {

// Collects bits MSB-first; the last byte is padded with zero bits.
class Arc1Bits {
 public:
  Arc1Bits& Put(uint32_t value, int length) {
    for (int i = length - 1; i >= 0; --i) bits_.push_back(char('0' + ((value >> i) & 1)));
    return *this;
  }
  Arc1Bits& Leaf(uint8_t value) { return Put(0, 1).Put(value, 8); }
  Arc1Bits& Internal() { return Put(1, 1); }
  Bytes ToBytes() const {
    Bytes out((bits_.size() + 7) / 8, 0);
    for (size_t i = 0; i < bits_.size(); ++i)
      if (bits_[i] == '1') out[i / 8] |= uint8_t(0x80 >> (i % 8));
    return out;
  }

 private:
  std::string bits_;
};

// A right-leaning chain of `internalNodes` internal nodes: the left child of the k-th is the
// leaf k, the last right child is the leaf `internalNodes` (mod 256). Leaf k has the code of
// k ones and a zero; the deepest leaf has `internalNodes` ones.
inline Arc1Bits ChainTree(int internalNodes) {
  Arc1Bits bits;
  for (int k = 0; k < internalNodes; ++k) bits.Internal().Leaf(uint8_t(k));
  bits.Leaf(uint8_t(internalNodes));
  return bits;
}

// A decoder's result as plain values, for comparing two decoders: the bytes, or the error's
// message.
struct Arc1Outcome {
  Bytes output;
  std::string error;
  bool ok() const { return error.empty(); }
};
inline Arc1Outcome OutcomeOf(Result<Bytes> result) {
  if (!result) return {{}, result.error().message};
  return {std::move(result).value(), {}};
}

inline Bytes Arc1File(uint32_t unpackedSize, const Bytes& payload) {
  // Sized once and copied into: GCC 12 sees a false out-of-bounds copy in an insert here.
  Bytes file(8 + payload.size());
  std::memcpy(file.data(), "ARC1", 4);
  PutU32LE(file.data() + 4, unpackedSize);
  std::copy(payload.begin(), payload.end(), file.begin() + 8);
  return file;
}

}  // namespace orv::test
