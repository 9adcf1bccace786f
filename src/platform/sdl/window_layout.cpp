#include "platform/sdl/window_layout.h"

#include <algorithm>
#include <cstdint>

#include "platform/image.h"
#include "platform/ui/menu_bar.h"

namespace orv {
namespace {

// Room left for the window manager's title bar and frame when choosing the scale.
constexpr int kDecorationAllowance = 40;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

std::optional<Scaling> ScalingByName(std::string_view name) {
  if (name == "integer") return Scaling::Integer;
  if (name == "fit") return Scaling::Fit;
  if (name == "stretch") return Scaling::Stretch;
  return std::nullopt;
}

const char* ScalingName(Scaling scaling) {
  switch (scaling) {
    case Scaling::Fit: return "fit";
    case Scaling::Stretch: return "stretch";
    default: return "integer";
  }
}

int LargestScaleThatFits(int usableWidth, int usableHeight) {
  int scale = 1;
  while (scale < kMaxWindowScale && kStageWidth * (scale + 1) <= usableWidth &&
         kStageHeight * (scale + 1) + MenuBar::Height(scale + 1) + kDecorationAllowance <= usableHeight)
    ++scale;
  return scale;
}

int WindowedWidgetScale(int width, int height) {
  return std::clamp(std::min(width / kStageWidth, height / (kStageHeight + MenuBar::Height(1))), 1, kMaxWindowScale);
}

WindowLayout LayOutWindow(const WindowShape& shape) {
  WindowLayout l;
  l.width = shape.width;
  l.height = shape.height;
  if (l.width <= 0 || l.height <= 0) {
    l.width = kStageWidth * shape.windowedScale;
    l.height = kStageHeight * shape.windowedScale + MenuBar::Height(shape.windowedScale);
  }
  Rect area{0, 0, l.width, l.height};
  l.barShown = shape.barVisible;
  if (shape.fullScreen) {
    l.ui = std::max(1, std::min(l.width / kStageWidth, l.height / kStageHeight));
    l.bar = Rect{0, 0, l.width, shape.barVisible ? MenuBar::Height(l.ui) : 0};
  } else {
    l.ui = WindowedWidgetScale(l.width, l.height);
    const int barHeight = shape.barVisible ? MenuBar::Height(l.ui) : 0;
    l.bar = Rect{0, 0, l.width, barHeight};
    area.top = barHeight;
  }
  const int aw = std::max(1, area.Width()), ah = std::max(1, area.Height());
  const int whole = std::min(aw / kStageWidth, ah / kStageHeight);
  int w = aw, h = ah;
  if (shape.scaling == Scaling::Integer && whole >= 1) {
    w = kStageWidth * whole;
    h = kStageHeight * whole;
  } else if (shape.scaling != Scaling::Stretch) {
    if (int64_t(aw) * kStageHeight <= int64_t(ah) * kStageWidth) {
      h = std::max(1, aw * kStageHeight / kStageWidth);
    } else {
      w = std::max(1, ah * kStageWidth / kStageHeight);
    }
  }
  l.stageScale = w % kStageWidth == 0 && h == w / kStageWidth * kStageHeight ? w / kStageWidth : 0;
  const int left = area.left + (aw - w) / 2, top = area.top + (ah - h) / 2;
  l.stage = Rect{left, top, left + w, top + h};
  return l;
}

bool StagePointAt(const Rect& stage, int x, int y, int& stageX, int& stageY) {
  stageX = std::clamp(FloorDiv((x - stage.left) * kStageWidth, stage.Width()), 0, kStageWidth - 1);
  stageY = std::clamp(FloorDiv((y - stage.top) * kStageHeight, stage.Height()), 0, kStageHeight - 1);
  return stage.Contains(x, y);
}

}  // namespace orv
