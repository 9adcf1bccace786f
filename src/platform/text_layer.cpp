#include "platform/text_layer.h"

#include <algorithm>

namespace orv {

void TextLayer::Plot(int x, int y, Rgb color, uint8_t coverage) {
  if (x < 0 || y < 0 || x >= width() || y >= height() || coverage == 0) return;
  uint8_t& cov = coverage_[size_t(y) * width() + x];
  if (coverage < cov) return;
  cov = coverage;
  color_.SetPixel(x, y, color);
}

uint8_t TextLayer::CoverageAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return coverage_[size_t(y) * width() + x];
}

bool TextLayer::AnyCoverage() const {
  return std::any_of(coverage_.begin(), coverage_.end(), [](uint8_t c) { return c != 0; });
}

void BlendPixel(Image& dst, int x, int y, Rgb color, uint8_t coverage) {
  if (x < 0 || y < 0 || x >= dst.width() || y >= dst.height() || coverage == 0) return;
  uint8_t* p = dst.row(y) + size_t(x) * 3;
  const unsigned a = coverage, na = 255 - coverage;
  p[0] = uint8_t((color.b * a + p[0] * na + 127) / 255);
  p[1] = uint8_t((color.g * a + p[1] * na + 127) / 255);
  p[2] = uint8_t((color.r * a + p[2] * na + 127) / 255);
}

void TextLayer::DrawOver(Image& dst) const {
  const int w = std::min(width(), dst.width()), h = std::min(height(), dst.height());
  for (int y = 0; y < h; ++y) {
    const uint8_t* cov = coverage_.data() + size_t(y) * width();
    for (int x = 0; x < w; ++x)
      if (cov[x]) BlendPixel(dst, x, y, color_.Pixel(x, y), cov[x]);
  }
}

}  // namespace orv
