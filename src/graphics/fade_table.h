#pragma once
// The cross-fade table: entry [new][old][step] is old moved step/16 of the way towards new,
// rounded down, for every pair of byte values and the sixteen steps of a fade:
//
//   (old * 256 + (new - old) * step * 16) >> 8      (arithmetic shift)
//
// stored at byte new * 4096 + old * 16 + step. The fade itself runs the same arithmetic in
// vector form (CrossFadeStep); the table is its definition and what it is checked against.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv {

class FadeTable {
 public:
  static constexpr int kSteps = 16;
  static constexpr size_t kBytes = size_t(kSteps) * 256 * 256;

  FadeTable();

  uint8_t at(int newValue, int oldValue, int step) const {
    return entries_[size_t(newValue) * 4096 + size_t(oldValue) * 16 + size_t(step)];
  }
  const std::vector<uint8_t>& bytes() const { return entries_; }

 private:
  std::vector<uint8_t> entries_;
};

}  // namespace orv
