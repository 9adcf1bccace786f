#include "platform/text_layer.h"

#include <algorithm>
#include <utility>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace orv {

namespace {

// The pixels [first, end) of a run of `count` from column x that lie on a row `width` wide;
// in 64 bits, as x may be anywhere a script puts text.
std::pair<int, int> ClipRun(int x, int count, int width) {
  return {int(std::clamp<int64_t>(-int64_t(x), 0, count)), int(std::clamp<int64_t>(int64_t(width) - x, 0, count))};
}

void BlendInto(uint8_t* p, Rgb color, uint8_t coverage) {
  const unsigned a = coverage, na = 255 - coverage;
  p[0] = uint8_t((color.b * a + p[0] * na + 127) / 255);
  p[1] = uint8_t((color.g * a + p[1] * na + 127) / 255);
  p[2] = uint8_t((color.r * a + p[2] * na + 127) / 255);
}

// BlendInto for every byte of a row: the colour byte over the destination byte by the
// coverage byte. With zero coverage the byte stays as it is, so a row's whole span can be
// blended without looking at each pixel, and the widest form passes over runs of it between
// strokes. x / 255 == (x * 0x8081) >> 23 for every x below 65536 (the sum reaches at most
// 255 * 255 + 127), one multiply-high and a shift for a vector of bytes at once.
void BlendBytesScalar(uint8_t* dst, const uint8_t* color, const uint8_t* coverage, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i)
    dst[i] = uint8_t((color[i] * unsigned(coverage[i]) + dst[i] * (255u - coverage[i]) + 127) / 255);
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define ORVANE_TEXT_X86 1

__attribute__((target("sse2"))) inline __m128i BlendLanes(__m128i c, __m128i d, __m128i a) {
  const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(127), reciprocal = _mm_set1_epi16(-32639);
  const __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(c, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a))), half);
  return _mm_srli_epi16(_mm_mulhi_epu16(x, reciprocal), 7);
}

__attribute__((target("avx2"))) inline __m256i BlendLanes(__m256i c, __m256i d, __m256i a) {
  const __m256i full = _mm256_set1_epi16(255), half = _mm256_set1_epi16(127), reciprocal = _mm256_set1_epi16(-32639);
  const __m256i x =
      _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(c, a), _mm256_mullo_epi16(d, _mm256_sub_epi16(full, a))), half);
  return _mm256_srli_epi16(_mm256_mulhi_epu16(x, reciprocal), 7);
}

__attribute__((target("sse2"))) void BlendBytesSse2(uint8_t* dst, const uint8_t* color, const uint8_t* coverage,
                                                     size_t bytes) {
  const __m128i zero = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(color + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + i));
    const __m128i low = BlendLanes(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(a, zero));
    const __m128i high = BlendLanes(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(a, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
  }
  BlendBytesScalar(dst + i, color + i, coverage + i, bytes - i);
}

__attribute__((target("avx2"))) void BlendBytesAvx2(uint8_t* dst, const uint8_t* color, const uint8_t* coverage,
                                                     size_t bytes) {
  const __m256i zero = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + 32 <= bytes; i += 32) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(color + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coverage + i));
    if (_mm256_testz_si256(a, a)) continue;
    // Unpacking and packing both work within 128-bit lanes, so the byte order comes back.
    const __m256i low =
        BlendLanes(_mm256_unpacklo_epi8(c, zero), _mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(a, zero));
    const __m256i high =
        BlendLanes(_mm256_unpackhi_epi8(c, zero), _mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(a, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(low, high));
  }
  BlendBytesSse2(dst + i, color + i, coverage + i, bytes - i);
}
#endif

}  // namespace

void TextLayer::Plot(int x, int y, Rgb color, uint8_t coverage) { PlotRun(x, y, color, &coverage, 1); }

void TextLayer::PlotRun(int x, int y, Rgb color, const uint8_t* coverage, int count) {
  if (y < 0 || y >= height()) return;
  // Clipped once for the run; the pixels written widen the row's span once.
  const auto [first, end] = ClipRun(x, count, width());
  uint8_t* cov = coverage_.data() + size_t(y) * color_.stride();
  uint8_t* pixels = color_.row(y);
  int left = -1, right = -1;
  for (int i = first; i < end; ++i) {
    const uint8_t c = coverage[i];
    uint8_t* at = cov + size_t(x + i) * 3;
    if (c == 0 || c < at[0]) continue;
    at[0] = at[1] = at[2] = c;
    uint8_t* p = pixels + size_t(x + i) * 3;
    p[0] = color.b;
    p[1] = color.g;
    p[2] = color.r;
    if (left < 0) left = x + i;
    right = x + i + 1;
  }
  if (left < 0) return;
  Span& span = spans_[size_t(y)];
  if (span.right <= span.left) {
    span = Span{left, right};
  } else {
    span.left = std::min(span.left, left);
    span.right = std::max(span.right, right);
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

std::vector<TextBlendKernel> TextBlendKernels() {
  std::vector<TextBlendKernel> kernels{BlendBytesScalar};
#ifdef ORVANE_TEXT_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2")) kernels.push_back(BlendBytesSse2);
  if (__builtin_cpu_supports("avx2")) kernels.push_back(BlendBytesAvx2);
#endif
  return kernels;
}

TextLayer::TextLayer(int width, int height)
    : color_(width, height),
      coverage_(color_.bytes().size(), 0),
      spans_(size_t(color_.height())),
      blend_(TextBlendKernels().back()) {}

bool TextLayer::Restore(std::span<const uint8_t> color, std::span<const uint8_t> coverage) {
  if (color.size() != color_.bytes().size() || coverage.size() != coverage_.size()) {
    Clear();
    return false;
  }
  std::copy(color.begin(), color.end(), color_.bytes().begin());
  std::copy(coverage.begin(), coverage.end(), coverage_.begin());
  const size_t stride = color_.stride();
  for (size_t y = 0; y < spans_.size(); ++y) {
    const uint8_t* row = coverage_.data() + y * stride;
    Span span;
    for (size_t x = 0; x < size_t(width()); ++x) {
      if (row[x * 3] == 0) continue;
      if (span.right <= span.left) span.left = int(x);
      span.right = int(x) + 1;
    }
    spans_[y] = span;
  }
  return true;
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
  const auto [first, end] = ClipRun(x, count, dst.width());
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
  blend_(dstRow + from, color_.row(y) + from, coverage_.data() + y * color_.stride() + from,
             size_t(right - span.left) * 3);
}

void TextLayer::DrawOver(Image& dst) const {
  const int h = std::min(height(), dst.height());
  for (int y = 0; y < h; ++y) DrawRowOver(y, dst.row(y), dst.width());
}

}  // namespace orv
