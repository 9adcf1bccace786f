#include "platform/text_layer.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv {

namespace {

void BlendInto(uint8_t* p, Rgb color, uint8_t coverage) {
  const unsigned a = coverage, na = 255 - coverage;
  p[0] = uint8_t((color.b * a + p[0] * na + 127) / 255);
  p[1] = uint8_t((color.g * a + p[1] * na + 127) / 255);
  p[2] = uint8_t((color.r * a + p[2] * na + 127) / 255);
}

// BlendInto for every byte of a row: the colour byte over the destination byte by the
// coverage byte. With zero coverage the byte stays as it is, so a row's whole span can be
// blended without looking at each pixel. x / 255 == (x + 1 + (x >> 8)) >> 8 for every x the
// sum can reach (at most 255 * 255 + 127), which lets sixteen bytes go at once.
void BlendBytes(uint8_t* dst, const uint8_t* color, const uint8_t* coverage, size_t bytes) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255), half = _mm_set1_epi16(127),
                one = _mm_set1_epi16(1);
  auto blend = [&](__m128i c, __m128i d, __m128i a) {
    const __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(c, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a))), half);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
  };
  for (; i + 16 <= bytes; i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(color + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + i));
    const __m128i low = blend(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(a, zero));
    const __m128i high = blend(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(a, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < bytes; ++i) dst[i] = uint8_t((color[i] * unsigned(coverage[i]) + dst[i] * (255u - coverage[i]) + 127) / 255);
}

}  // namespace

void TextLayer::Plot(int x, int y, Rgb color, uint8_t coverage) {
  if (x < 0 || y < 0 || x >= width() || y >= height() || coverage == 0) return;
  uint8_t* cov = coverage_.data() + (size_t(y) * width() + x) * 3;
  if (coverage < cov[0]) return;
  cov[0] = cov[1] = cov[2] = coverage;
  color_.SetPixel(x, y, color);
  Span& span = spans_[size_t(y)];
  if (span.right <= span.left) {
    span = Span{x, x + 1};
  } else {
    span.left = std::min(span.left, x);
    span.right = std::max(span.right, x + 1);
  }
}

void TextLayer::Clear() {
  for (size_t y = 0; y < spans_.size(); ++y) {
    Span& span = spans_[y];
    if (span.right > span.left) {
      uint8_t* row = coverage_.data() + y * color_.stride();
      std::fill(row + size_t(span.left) * 3, row + size_t(span.right) * 3, 0);
    }
    span = Span{};
  }
}

uint8_t TextLayer::CoverageAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return coverage_[(size_t(y) * width() + x) * 3];
}

bool TextLayer::AnyCoverage() const {
  // A span is only ever opened by a pixel with coverage.
  return std::any_of(spans_.begin(), spans_.end(), [](const Span& s) { return s.right > s.left; });
}

void BlendPixel(Image& dst, int x, int y, Rgb color, uint8_t coverage) {
  if (x < 0 || y < 0 || x >= dst.width() || y >= dst.height() || coverage == 0) return;
  BlendInto(dst.row(y) + size_t(x) * 3, color, coverage);
}

void BlendRun(Image& dst, int x, int y, Rgb color, const uint8_t* coverage, int count) {
  if (y < 0 || y >= dst.height()) return;
  // Clipped once for the run rather than for every pixel: glyphs are drawn a row at a time.
  const int first = std::max(0, -x), end = std::min(count, dst.width() - x);
  if (first >= end) return;
  uint8_t* row = dst.row(y);
  for (int i = first; i < end; ++i)
    if (coverage[i] != 0) BlendInto(row + size_t(x + i) * 3, color, coverage[i]);
}

void TextLayer::DrawRowOver(int y, uint8_t* dstRow, int width) const {
  if (y < 0 || y >= height()) return;
  const Span span = spans_[size_t(y)];
  const int right = std::min(span.right, width);
  if (right <= span.left) return;
  const size_t from = size_t(span.left) * 3;
  BlendBytes(dstRow + from, color_.row(y) + from, coverage_.data() + y * color_.stride() + from,
             size_t(right - span.left) * 3);
}

void TextLayer::DrawOver(Image& dst) const {
  const int h = std::min(height(), dst.height());
  for (int y = 0; y < h; ++y) DrawRowOver(y, dst.row(y), dst.width());
}

}  // namespace orv
