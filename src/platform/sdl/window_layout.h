#pragma once
// Where the stage and the menu bar lie in the desktop window, worked out from the window's size
// and modes alone, so that the geometry can be reasoned about (and checked) without a display.
//
// Scaling: whole multiples with sharp pixels (the default in a window), the largest picture of
// the stage's shape (the default in full screen), or stretched to the whole area. Sizes are in
// real pixels, so a HiDPI screen gets the factor its pixels allow.
#include <optional>
#include <string_view>

#include "platform/ui/ui_draw.h"

namespace orv {

enum class Scaling { Integer, Fit, Stretch };

// "integer", "fit" or "stretch".
std::optional<Scaling> ScalingByName(std::string_view name);
const char* ScalingName(Scaling scaling);

inline constexpr int kMaxWindowScale = 8;

// The largest whole scale whose window (stage, menu bar and a window manager's frame) fits in
// a usable screen area of this size; 1 at least, 8 at most.
int LargestScaleThatFits(int usableWidth, int usableHeight);

// The widget scale of a window of this size that shows the stage below the bar.
int WindowedWidgetScale(int width, int height);

struct WindowShape {
  int width = 0, height = 0;  // real pixels; 0 when the window cannot tell
  int windowedScale = 1;      // the scale the window opened at, for a size it cannot tell
  bool fullScreen = false;
  bool barVisible = true;
  Scaling scaling = Scaling::Integer;
};

struct WindowLayout {
  int width = 0, height = 0;  // window pixels
  Rect stage, bar;
  bool barShown = false;
  int ui = 1;          // widget scale
  int stageScale = 1;  // whole factor of the stage (0 when not a whole multiple)
};

// In a window the bar sits above the stage; in full screen it lies over the stage, which keeps
// the whole screen.
WindowLayout LayOutWindow(const WindowShape& shape);

// Window pixels to stage pixels, clamped to the stage; false when the point is off it.
bool StagePointAt(const Rect& stage, int x, int y, int& stageX, int& stageY);

}  // namespace orv
