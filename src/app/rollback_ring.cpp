#include "app/rollback_ring.h"

#include <functional>
#include <string_view>

namespace orv {

namespace {

uint64_t HashBytes(std::span<const uint8_t> bytes) {
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

uint64_t MixRollbackKeys(uint64_t key, uint64_t baseKey) {
  return key ^ (baseKey + 0x9E3779B97F4A7C15ull + (key << 6) + (key >> 2));
}

namespace {

// What a packed part costs beyond its bytes: the vector, the shared block and its counts.
constexpr size_t kPartOverhead = sizeof(PackedBytes) + 32;

}  // namespace

void RollbackRing::Clear() {
  points_.clear();
  parts_.clear();
  position_ = 0;
  bytes_ = 0;
}

namespace {
uint64_t StoreKey(RollbackPart part, uint64_t key) { return MixRollbackKeys(key, uint64_t(part) + 1); }
size_t PartBytes(const PackedBytes& bytes) { return bytes.packedSize() + kPartOverhead; }
}  // namespace

PackedPart RollbackRing::Pack(RollbackPart part, std::span<const uint8_t> bytes, std::span<const uint8_t> base,
                              uint64_t baseKey) const {
  PackedPart packed;
  packed.key = MixRollbackKeys(HashBytes(bytes), baseKey);
  if (auto kept = parts_.find(StoreKey(part, packed.key)); kept != parts_.end()) {
    std::shared_ptr<const PackedBytes> same = kept->second.lock();
    if (same && same->size() == bytes.size()) {
      packed.bytes = std::move(same);
      return packed;
    }
  }
  packed.bytes = std::make_shared<const PackedBytes>(PackedBytes::Pack(bytes, base));
  return packed;
}

void RollbackRing::Record(RollbackPoint point) {
  while (!points_.empty() && points_.size() - 1 > position_) {
    Forget(points_.back());
    points_.pop_back();
  }
  bytes_ += sizeof(RollbackPoint) + point.extraBytes;
  for (size_t i = 0; i < kRollbackPartCount; ++i) {
    const PackedPart& part = point.parts[i];
    // Held by this point alone: new to the ring.
    if (part.bytes && part.bytes.use_count() == 1) {
      bytes_ += PartBytes(*part.bytes);
      parts_[StoreKey(RollbackPart(i), part.key)] = part.bytes;
    }
  }
  points_.push_back(std::move(point));
  position_ = points_.size() - 1;
  while (points_.size() > 1 && (points_.size() > limits_.maxPoints || bytes_ > limits_.maxBytes)) {
    Forget(points_.front());
    points_.pop_front();
    if (position_ > 0) --position_;
  }
}

void RollbackRing::Forget(const RollbackPoint& point) {
  bytes_ -= sizeof(RollbackPoint) + point.extraBytes;
  for (size_t i = 0; i < kRollbackPartCount; ++i) {
    const PackedPart& part = point.parts[i];
    if (part.bytes && part.bytes.use_count() == 1) {
      bytes_ -= PartBytes(*part.bytes);
      parts_.erase(StoreKey(RollbackPart(i), part.key));
    }
  }
}

const RollbackPoint* RollbackRing::StepBack() {
  if (points_.empty() || position_ == 0) return nullptr;
  return &points_[--position_];
}

const RollbackPoint* RollbackRing::StepForward() {
  if (ahead() == 0) return nullptr;
  return &points_[++position_];
}

void RollbackRing::Undo(bool wasBack) {
  if (wasBack && position_ + 1 < points_.size()) ++position_;
  if (!wasBack && position_ > 0) --position_;
}

const RollbackPoint* RollbackRing::Current() const { return points_.empty() ? nullptr : &points_[position_]; }

}  // namespace orv
