#include "app/packed_bytes.h"

#include <zlib.h>

namespace orv {

namespace {

void XorInto(std::span<uint8_t> bytes, std::span<const uint8_t> base) {
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] ^= base[i];
}

}  // namespace

PackedBytes PackedBytes::Pack(std::span<const uint8_t> bytes, std::span<const uint8_t> base) {
  PackedBytes packed;
  packed.size_ = bytes.size();
  packed.againstBase_ = !base.empty() && base.size() == bytes.size();
  std::vector<uint8_t> difference;
  std::span<const uint8_t> source = bytes;
  if (packed.againstBase_) {
    difference.assign(bytes.begin(), bytes.end());
    XorInto(difference, base);
    source = difference;
  }
  // The fastest level: a step back must never wait on the advance that recorded it, and the
  // differences are runs of zeros that every level packs alike.
  uLongf length = compressBound(uLong(source.size()));
  packed.deflated_.resize(length);
  if (compress2(packed.deflated_.data(), &length, source.data(), uLong(source.size()), Z_BEST_SPEED) != Z_OK) {
    // zlib fails here only without memory; kept as it is, the bytes are still whole.
    packed.deflated_.clear();
    packed.size_ = 0;
    return packed;
  }
  packed.deflated_.resize(length);
  packed.deflated_.shrink_to_fit();
  return packed;
}

bool PackedBytes::UnpackInto(std::span<uint8_t> out, std::span<const uint8_t> base) const {
  if (out.size() != size_ || (againstBase_ && base.size() != size_) || deflated_.empty()) return false;
  uLongf length = uLongf(out.size());
  if (uncompress(out.data(), &length, deflated_.data(), uLong(deflated_.size())) != Z_OK || length != out.size())
    return false;
  if (againstBase_) XorInto(out, base);
  return true;
}

}  // namespace orv
