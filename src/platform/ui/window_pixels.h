#pragma once
// Drawing into a window's own 32-bit pixels (blue in the low byte, then green, red, and a byte
// left alone): the stage scaled onto the window and the backend's panels over it, one damaged
// rectangle at a time, so that a typed character costs its own few pixels and not a frame.
#include <cstddef>
#include <cstdint>

#include "platform/image.h"

namespace orv {

// A block of 32-bit window pixels; `pitch` counts pixels, not bytes.
struct WindowPixels {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  size_t pitch = 0;
  Rect bounds() const { return Rect{0, 0, width, height}; }
};

Rect Intersect(const Rect& a, const Rect& b);
Rect Union(const Rect& a, const Rect& b);

// The window pixels that show the stage pixels `changed` when the whole stage is drawn
// nearest-neighbour onto `stageOnWindow`: every window pixel whose source falls in `changed`.
Rect StageToWindow(const Rect& changed, const Rect& stageOnWindow);

// Draws the part of `image` (stretched nearest-neighbour onto `where`) that falls inside
// `clip` and the target; nothing outside them is touched.
void DrawScaled(const Image& image, const Rect& where, const Rect& clip, const WindowPixels& target);

// Fills `area` (clipped to the target) with one colour.
void FillPixels(const Rect& area, Rgb colour, const WindowPixels& target);

}  // namespace orv
