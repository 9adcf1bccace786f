#pragma once
// Bytes kept small in memory while nobody looks at them: deflated, and optionally as their
// difference from a base of the same size that the reader will hold again when unpacking. A
// stage layer against the layer it was drawn over is zeros wherever nothing was drawn, so a
// line of text costs a few kilobytes instead of a whole picture.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orv {

class PackedBytes {
 public:
  // `base` is empty, or exactly as long as `bytes`.
  static PackedBytes Pack(std::span<const uint8_t> bytes, std::span<const uint8_t> base = {});

  // Writes the bytes back into `out` (exactly size() long) given the same base as Pack; false,
  // with `out` unspecified, when the sizes differ or the packed data does not inflate to them.
  bool UnpackInto(std::span<uint8_t> out, std::span<const uint8_t> base = {}) const;

  size_t size() const { return size_; }
  // What the part costs in memory: the deflated runs.
  size_t packedSize() const { return deflated_.size(); }

 private:
  std::vector<uint8_t> deflated_;  // the runs, deflated
  size_t runsSize_ = 0;
  size_t size_ = 0;
  bool againstBase_ = false;
  bool broken_ = true;  // nothing packed yet, or packing failed
};

}  // namespace orv
