#include "graphics/history_screen.h"

#include <algorithm>
#include <limits>

#include "graphics/blend.h"

namespace orv {

namespace {

// "▲" and "▼" in Shift-JIS.
constexpr std::string_view kUpArrow = "\x81\xA3";
constexpr std::string_view kDownArrow = "\x81\xA5";
constexpr int kArrowPointSize = 24;
constexpr int kArrowCell = 32;        // the arrows' column and the down arrow's zone height
constexpr int kUpArrowZoneEnd = 28;   // the up arrow reacts over fewer rows than it covers
constexpr Rgb kArrowColor{255, 255, 255};
constexpr Rgb kLitArrowColor{0, 0, 255};

// Box edges come from scripts and saved games and may be anything: positions derived from
// them are worked out in 64 bits and kept within what drawing takes.
int ToDrawingPosition(int64_t position) {
  return int(std::clamp<int64_t>(position, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

bool Between(int64_t low, int64_t value, int64_t high) { return low < value && value < high; }

FontSpec ArrowFont(const SceneState& scene, Rgb color) {
  return FontSpec{scene.historyFontName.str(), kArrowPointSize, color};
}

void DrawArrow(const HistoryView& view, std::string_view arrow, int64_t y, Rgb color) {
  const int x = ToDrawingPosition(int64_t(view.scene.historyRight) - kArrowCell);
  view.fonts.Draw(view.window, x, ToDrawingPosition(y), arrow, ArrowFont(view.scene, color));
}

void DrawArrows(const HistoryView& view) {
  DrawArrow(view, kUpArrow, view.scene.historyTop, kArrowColor);
  DrawArrow(view, kDownArrow, int64_t(view.scene.historyBottom) - kArrowCell, kArrowColor);
}

}  // namespace

void TintHistoryBox(Image& image, const SceneState& scene) {
  const Rect box = ClipRect(Rect{scene.historyLeft, scene.historyTop, scene.historyRight, scene.historyBottom}, image);
  if (box.Empty()) return;
  const int strength = scene.historyTintStrength;
  const int target[3] = {scene.historyTintBlue, scene.historyTintGreen, scene.historyTintRed};
  for (int y = box.top; y < box.bottom; ++y) {
    uint8_t* p = image.row(y) + size_t(box.left) * 3;
    for (int x = box.left; x < box.right; ++x)
      for (int c = 0; c < 3; ++c, ++p) *p = uint8_t(((target[c] - *p) * strength + *p * 256) >> 8);
  }
}

int32_t HistoryScreen::NewestPage(int32_t pageIndex) { return std::clamp(pageIndex - 1, 0, kHistoryPages - 1); }

void HistoryScreen::Open(const HistoryView& view, const HistoryPictureSource& pictures, int pointerX, int pointerY) {
  shownPage_ = NewestPage(view.pageIndex);
  backdropLayer_ = view.window;
  workBitmap_ = backdropLayer_;
  if (view.scene.historyScreenMode == 1) {
    // A missing picture leaves the backdrop as it is.
    if (const std::shared_ptr<const Image> picture = pictures(view.scene.historyPictureName.str()))
      PasteMasked(workBitmap_, *picture, view.scene.historyPictureX, view.scene.historyPictureY);
  } else {
    TintHistoryBox(workBitmap_, view.scene);
  }
  CopyImage(view.window, workBitmap_);
  DrawArrows(view);
  DrawPage(view);
  MouseMove(view, pointerX, pointerY);
}

void HistoryScreen::DrawPage(const HistoryView& view) {
  CopyImage(view.window, workBitmap_);
  if (shownPage_ < 0 || shownPage_ >= kHistoryPages) return;
  const SceneState& scene = view.scene;
  const FontSpec font{scene.historyFontName.str(), scene.historyFontSize, RgbFromColorRef(scene.historyTextColor)};
  const MessageHistory::Page page = view.history.page(shownPage_);
  const int lastLine = std::clamp(page.lineCount(), 0, kHistoryLines - 1);
  const int64_t advance = int64_t(scene.historyFontSize) + scene.historyLineSpacing;
  for (int i = 0; i <= lastLine; ++i) {
    const int64_t y = int64_t(scene.historyTextY) + i * advance;
    // Lines wholly below the window, or far above it, have nothing to draw.
    if (y >= view.window.height() || y < -int64_t(4) * FontRenderer::kMaxPointSize) continue;
    view.fonts.Draw(view.window, scene.historyTextX, int(y), page.line(i), font);
  }
}

void HistoryScreen::MouseMove(const HistoryView& view, int x, int y) {
  DrawArrows(view);
  const SceneState& scene = view.scene;
  const int64_t right = scene.historyRight, top = scene.historyTop, bottom = scene.historyBottom;
  if (Between(right - kArrowCell, x, right)) {
    if (Between(top, y, top + kUpArrowZoneEnd)) {
      DrawArrow(view, kUpArrow, top, kLitArrowColor);
      hoverZone_ = kUpArrowZone;
      return;
    }
    if (Between(bottom - kArrowCell, y, bottom)) {
      DrawArrow(view, kDownArrow, bottom - kArrowCell, kLitArrowColor);
      hoverZone_ = kDownArrowZone;
      return;
    }
  }
  hoverZone_ = kOutsideArrows;
}

bool HistoryScreen::Click(const HistoryView& view) {
  switch (hoverZone_) {
    case kUpArrowZone: PageUp(view); return false;
    case kDownArrowZone: PageDown(view); return false;
    default: Close(view); return true;
  }
}

void HistoryScreen::PageUp(const HistoryView& view) {
  shownPage_ = std::max(shownPage_ - 1, 0);
  DrawPage(view);
}

void HistoryScreen::PageDown(const HistoryView& view) {
  shownPage_ = std::min(shownPage_ + 1, NewestPage(view.pageIndex));
  DrawPage(view);
}

void HistoryScreen::Close(const HistoryView& view) { CopyImage(view.window, backdropLayer_); }

}  // namespace orv
