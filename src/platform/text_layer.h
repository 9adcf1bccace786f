#pragma once
// A layer of message text over a transparent background. The game fills it with pure red to
// clear it; here that means "no coverage anywhere", so antialiased text composites cleanly.
//
// Text covers a few rows of the stage, and the layer is blended over every presented frame:
// each row remembers the columns its text spans, so blending and clearing touch only those.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/image.h"

namespace orv {

// Blends `bytes` colour bytes over dst by their coverage bytes, BlendPixel's formula for each.
using TextBlendKernel = void (*)(uint8_t* dst, const uint8_t* color, const uint8_t* coverage, size_t bytes);
// Every form of that blend this processor runs, the plain loop (the definition) first and the
// widest vectors last; all give the same bytes.
std::vector<TextBlendKernel> TextBlendKernels();

class TextLayer {
 public:
  TextLayer(int width, int height);

  int width() const { return color_.width(); }
  int height() const { return color_.height(); }
  void Clear();
  // Sets one pixel of text: colour and coverage 0..255 (the stronger coverage wins).
  void Plot(int x, int y, Rgb color, uint8_t coverage);
  // Plot for `count` pixels of row y from x on, one coverage byte each: a glyph's row at once.
  void PlotRun(int x, int y, Rgb color, const uint8_t* coverage, int count);
  // Blends the layer over dst at (0, 0).
  void DrawOver(Image& dst) const;
  // Blends row y of the layer over a row of `width` pixels (blue-green-red) at x = 0.
  void DrawRowOver(int y, uint8_t* dstRow, int width) const;
  bool AnyCoverage() const;
  bool RowHasText(int y) const { return y >= 0 && y < height() && spans_[size_t(y)].right > spans_[size_t(y)].left; }
  uint8_t CoverageAt(int x, int y) const;

  // The layer as bytes (each width x height x 3), to be kept and put back later with Restore.
  std::span<const uint8_t> colorBytes() const { return color_.bytes(); }
  std::span<const uint8_t> coverageBytes() const { return coverage_; }
  // The layer as colorBytes and coverageBytes were; false, with the layer cleared, when their
  // sizes are not this layer's.
  bool Restore(std::span<const uint8_t> color, std::span<const uint8_t> coverage);

 private:
  struct Span {
    int left = 0, right = 0;  // right exclusive; empty when right <= left
  };
  Image color_;
  std::vector<uint8_t> coverage_;  // per byte of color_: each pixel's coverage three times
  std::vector<Span> spans_;  // per row: the columns holding coverage
  TextBlendKernel blend_;    // the widest form
};

// Blends `color` into dst's pixel by coverage (0 leaves it, 255 replaces it):
//   (color * coverage + dst * (255 - coverage) + 127) / 255 for each channel.
void BlendPixel(Image& dst, int x, int y, Rgb color, uint8_t coverage);
// BlendPixel for `count` pixels of row y from x on, one coverage byte each.
void BlendRun(Image& dst, int x, int y, Rgb color, const uint8_t* coverage, int count);

}  // namespace orv
