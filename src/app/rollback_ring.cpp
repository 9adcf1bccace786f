#include "app/rollback_ring.h"

#include <functional>
#include <string_view>

namespace orv {

namespace {

uint64_t HashBytes(std::span<const uint8_t> bytes) {
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

uint64_t Mix(uint64_t key, uint64_t baseKey) {
  return key ^ (baseKey + 0x9E3779B97F4A7C15ull + (key << 6) + (key >> 2));
}

// What a packed part costs beyond its bytes: the vector, the shared block and its counts.
constexpr size_t kPartOverhead = sizeof(PackedBytes) + 32;

}  // namespace

RollbackPart RollbackBase(RollbackPart part) {
  switch (part) {
    case RollbackPart::Stage: return RollbackPart::Background;
    case RollbackPart::Tint: return RollbackPart::Stage;
    case RollbackPart::Screen: return RollbackPart::Tint;
    case RollbackPart::Window: return RollbackPart::Screen;
    case RollbackPart::PictureChoiceBackdrop: return RollbackPart::Window;
    default: return part;
  }
}

void RollbackRing::Clear() {
  points_.clear();
  position_ = 0;
  bytes_ = 0;
}

PackedPart RollbackRing::Pack(RollbackPart part, std::span<const uint8_t> bytes, std::span<const uint8_t> base,
                              uint64_t baseKey) const {
  PackedPart packed;
  packed.key = Mix(HashBytes(bytes), baseKey);
  if (const RollbackPoint* shown = Current()) {
    const PackedPart& same = shown->parts[size_t(part)];
    if (same.bytes && same.key == packed.key && same.bytes->size() == bytes.size()) {
      packed.bytes = same.bytes;
      return packed;
    }
  }
  packed.bytes = std::make_shared<const PackedBytes>(PackedBytes::Pack(bytes, base));
  return packed;
}

size_t RollbackRing::OwnBytes(const RollbackPoint& point, const RollbackPoint* other) {
  size_t total = sizeof(RollbackPoint) + point.extraBytes;
  for (size_t i = 0; i < kRollbackPartCount; ++i) {
    const auto& bytes = point.parts[i].bytes;
    if (bytes && (other == nullptr || other->parts[i].bytes != bytes)) total += bytes->packedSize() + kPartOverhead;
  }
  return total;
}

void RollbackRing::Record(RollbackPoint point) {
  while (!points_.empty() && points_.size() - 1 > position_) {
    const RollbackPoint* before = points_.size() >= 2 ? &points_[points_.size() - 2] : nullptr;
    bytes_ -= OwnBytes(points_.back(), before);
    points_.pop_back();
  }
  bytes_ += OwnBytes(point, points_.empty() ? nullptr : &points_.back());
  points_.push_back(std::move(point));
  position_ = points_.size() - 1;
  while (points_.size() > 1 && (points_.size() > limits_.maxPoints || bytes_ > limits_.maxBytes)) DropOldest();
}

void RollbackRing::DropOldest() {
  bytes_ -= OwnBytes(points_.front(), points_.size() >= 2 ? &points_[1] : nullptr);
  points_.pop_front();
  if (position_ > 0) --position_;
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
