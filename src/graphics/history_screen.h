#pragma once
// The message history screen: the pages already read, laid over a tinted or decorated copy of
// the window, with an up and a down arrow at the right edge of the history box. The arrows
// light up under the pointer and turn pages when clicked; a click anywhere else puts the
// window back exactly as it was when the screen opened.
//
// The screen draws onto the window surface it is handed and never presents it: the caller
// does, after each call. Its look comes from the history fields of the scene record.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "persist/scene_state.h"
#include "platform/image.h"
#include "platform/text/font_renderer.h"
#include "script/message_history.h"

namespace orv {

enum HistoryZone : int16_t { kUpArrowZone = 0, kDownArrowZone = 1, kOutsideArrows = 2 };

// The parts of the player the screen reads and draws on, for the length of one call.
struct HistoryView {
  Image& window;
  FontRenderer& fonts;
  const SceneState& scene;
  const MessageHistory& history;
  int32_t pageIndex = 0;  // the page being written
};

// The picture of picture mode by name; null when there is none to draw.
using HistoryPictureSource = std::function<std::shared_ptr<const Image>(std::string_view name)>;

class HistoryScreen {
 public:
  // Opens on the newest finished page, with the arrows lit for the pointer at (x, y).
  void Open(const HistoryView& view, const HistoryPictureSource& pictures, int pointerX, int pointerY);
  // Redraws both arrows, the one under the pointer in blue, and remembers the zone.
  void MouseMove(const HistoryView& view, int x, int y);
  // Turns a page when the pointer was over an arrow, else closes the screen; true when closed.
  bool Click(const HistoryView& view);

  // One page older or newer, kept within the finished pages; the arrows stay wiped.
  void PageUp(const HistoryView& view);
  void PageDown(const HistoryView& view);
  // The window as it was when the screen opened.
  void Close(const HistoryView& view);
  // The newest page the screen shows: the one before the page being written.
  static int32_t NewestPage(int32_t pageIndex);

  // The page shown and the zone the pointer was last in, for the state dump.
  int32_t shownPage() const { return shownPage_; }
  int16_t hoverZone() const { return hoverZone_; }
  // The backdrop tinted or decorated: what the pages are drawn over.
  const Image& workBitmap() const { return workBitmap_; }

 private:
  int32_t shownPage_ = 0;
  int16_t hoverZone_ = kOutsideArrows;
  Image backdropLayer_;  // the window at the moment the screen opened
  Image workBitmap_;
  void DrawPage(const HistoryView& view);
};

// The history box tint: each channel V of the box becomes ((T - V) x strength + V x 256) >> 8.
void TintHistoryBox(Image& image, const SceneState& scene);

}  // namespace orv
