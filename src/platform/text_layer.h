#pragma once
// A layer of message text over a transparent background. The game fills it with pure red to
// clear it; here that means "no coverage anywhere", so antialiased text composites cleanly.
#include <vector>

#include "platform/image.h"

namespace orv {

class TextLayer {
 public:
  TextLayer(int width, int height) : color_(width, height), coverage_(size_t(width) * height, 0) {}

  int width() const { return color_.width(); }
  int height() const { return color_.height(); }
  void Clear() { std::fill(coverage_.begin(), coverage_.end(), 0); }
  // Sets one pixel of text: colour and coverage 0..255 (the stronger coverage wins).
  void Plot(int x, int y, Rgb color, uint8_t coverage);
  // Blends the layer over dst at (0, 0).
  void DrawOver(Image& dst) const;
  bool AnyCoverage() const;
  uint8_t CoverageAt(int x, int y) const;

 private:
  Image color_;
  std::vector<uint8_t> coverage_;
};

// Blends `color` into dst's pixel by coverage (0 leaves it, 255 replaces it).
void BlendPixel(Image& dst, int x, int y, Rgb color, uint8_t coverage);

}  // namespace orv
