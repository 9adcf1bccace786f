#pragma once
// The story as it stood at each of the last few hundred advances of this run, so that the
// player can step back through it line by line and forward again along the same path.
//
// A point is what a save slot holds (the scene record, the save point and both variable
// tables) plus what a slot rebuilds rather than stores: the stage's layers, the text on the
// page, a waiting choice. Its parts are packed, and a part equal to the same part of any point
// kept is shared with it instead of kept twice: a line of text changes only the layers that
// carry text, and a scene that comes back (two backgrounds taking turns) is kept once.
//
// Points sit in order; `position` is the one on show. Recording while stepped back drops the
// points ahead (the story has left that path). The oldest points go when there are more than
// `maxPoints` or their parts take more than `maxBytes`; the newest point always stays.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/packed_bytes.h"

namespace orv {

// The parts of a point; which part is packed against which is the owner's to choose.
enum class RollbackPart : size_t {
  Scene,
  SavePoint,
  StringVariables,
  NumericVariables,
  Background,
  Stage,
  Tint,
  Screen,
  Window,
  TextColor,
  TextCoverage,
  PictureChoiceBackdrop,
  kCount
};
inline constexpr size_t kRollbackPartCount = size_t(RollbackPart::kCount);

// One key standing for two: a part packed against several others names their keys mixed.
uint64_t MixRollbackKeys(uint64_t key, uint64_t baseKey);

struct PackedPart {
  uint64_t key = 0;  // the unpacked bytes' hash, mixed with its base's key
  std::shared_ptr<const PackedBytes> bytes;
};

// What a point keeps outside its packed parts: small, and different at nearly every advance.
// `extra` is whatever the owner keeps beside them (the interpreter's place, the page's lines,
// a waiting choice); the ring only counts its size.
struct RollbackPoint {
  std::array<PackedPart, kRollbackPartCount> parts;
  std::shared_ptr<const void> extra;
  size_t extraBytes = 0;
};

struct RollbackLimits {
  size_t maxPoints = 500;
  size_t maxBytes = size_t(32) << 20;
};

class RollbackRing {
 public:
  explicit RollbackRing(RollbackLimits limits = {}) : limits_(limits) {}

  void Clear();

  // The part as the next point will keep it: `bytes` packed (against `base`, whose own key is
  // `baseKey`), or the same part of a point kept when the bytes and the base are the same.
  PackedPart Pack(RollbackPart part, std::span<const uint8_t> bytes, std::span<const uint8_t> base = {},
                  uint64_t baseKey = 0) const;

  // Keeps `point` right after the one on show and shows it; points that were ahead are dropped.
  void Record(RollbackPoint point);

  // The point one back or one ahead, now on show; nothing (and no move) at either end.
  const RollbackPoint* StepBack();
  const RollbackPoint* StepForward();
  // The one step just taken is undone (the point could not be restored).
  void Undo(bool wasBack);

  const RollbackPoint* Current() const;
  // Point i, 0 the oldest (i < depth()).
  const RollbackPoint& point(size_t i) const { return points_[i]; }
  size_t depth() const { return points_.size(); }
  // 0 is the oldest point kept.
  size_t position() const { return position_; }
  // Points ahead of the one on show.
  size_t ahead() const { return points_.empty() ? 0 : points_.size() - 1 - position_; }
  // The memory the points hold: every packed part once, however many points share it, and
  // what each keeps beside them.
  size_t bytes() const { return bytes_; }

 private:
  // The point leaves the ring: what only it held is freed.
  void Forget(const RollbackPoint& point);

  RollbackLimits limits_;
  std::deque<RollbackPoint> points_;
  // Every packed part the points hold, by part and key, for sharing. Only the points own them.
  std::unordered_map<uint64_t, std::weak_ptr<const PackedBytes>> parts_;
  size_t position_ = 0;
  size_t bytes_ = 0;
};

}  // namespace orv
