#include "platform/ui/window_pixels.h"

#include <algorithm>
#include <vector>

namespace orv {
namespace {

uint32_t Pack(const uint8_t* bgr) { return uint32_t(bgr[0]) | uint32_t(bgr[1]) << 8 | uint32_t(bgr[2]) << 16; }

// The first window coordinate at or after `origin` whose source (floor((x - origin) * source
// / span)) reaches `s`.
int FirstShowing(int s, int origin, int span, int source) {
  return origin + int((int64_t(s) * span + source - 1) / source);
}

}  // namespace

Rect Intersect(const Rect& a, const Rect& b) {
  const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.Empty() ? Rect{} : r;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

Rect StageToWindow(const Rect& changed, const Rect& stageOnWindow) {
  const Rect c = Intersect(changed, Rect{0, 0, kStageWidth, kStageHeight});
  if (c.Empty() || stageOnWindow.Empty()) return Rect{};
  const int w = stageOnWindow.Width(), h = stageOnWindow.Height();
  return Intersect(Rect{FirstShowing(c.left, stageOnWindow.left, w, kStageWidth),
                        FirstShowing(c.top, stageOnWindow.top, h, kStageHeight),
                        FirstShowing(c.right, stageOnWindow.left, w, kStageWidth),
                        FirstShowing(c.bottom, stageOnWindow.top, h, kStageHeight)},
                   stageOnWindow);
}

void DrawScaled(const Image& image, const Rect& where, const Rect& clip, const WindowPixels& target) {
  if (image.empty() || where.Empty() || !target.pixels) return;
  const Rect area = Intersect(Intersect(where, clip), target.bounds());
  if (area.Empty()) return;
  const int w = where.Width(), h = where.Height();
  if (w == image.width() && h == image.height()) {
    // One to one: a straight conversion of each row.
    for (int y = area.top; y < area.bottom; ++y) {
      const uint8_t* from = image.row(y - where.top) + size_t(area.left - where.left) * 3;
      uint32_t* to = target.pixels + size_t(y) * target.pitch + size_t(area.left);
      for (int x = 0; x < area.Width(); ++x, from += 3) to[x] = Pack(from);
    }
    return;
  }
  std::vector<int> sourceX(size_t(area.Width()));
  for (int x = area.left; x < area.right; ++x)
    sourceX[size_t(x - area.left)] = int(int64_t(x - where.left) * image.width() / w) * 3;
  int lastSource = -1;
  const uint32_t* lastRow = nullptr;
  for (int y = area.top; y < area.bottom; ++y) {
    uint32_t* to = target.pixels + size_t(y) * target.pitch + size_t(area.left);
    const int sy = int(int64_t(y - where.top) * image.height() / h);
    if (sy == lastSource && lastRow) {
      // Enlarged rows repeat: copying the row drawn just before is cheaper than drawing it.
      std::copy(lastRow, lastRow + area.Width(), to);
      continue;
    }
    const uint8_t* from = image.row(sy);
    for (size_t x = 0; x < sourceX.size(); ++x) to[x] = Pack(from + sourceX[x]);
    lastSource = sy;
    lastRow = to;
  }
}

void FillPixels(const Rect& area, Rgb colour, const WindowPixels& target) {
  if (!target.pixels) return;
  const Rect r = Intersect(area, target.bounds());
  const uint32_t value = uint32_t(colour.b) | uint32_t(colour.g) << 8 | uint32_t(colour.r) << 16;
  for (int y = r.top; y < r.bottom; ++y) {
    uint32_t* row = target.pixels + size_t(y) * target.pitch;
    std::fill(row + r.left, row + r.right, value);
  }
}

}  // namespace orv
