#include "graphics/box_tint.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv {

// With o = opacity, ((t - p) * o + p * 256) >> 8 == (p * (256 - o) + t * o) >> 8, and the
// right-hand sum never exceeds 255 * 256: it fits an unsigned 16-bit lane exactly.
void TintPixels(const uint8_t* src, uint8_t* dst, int pixels, const BoxTint& tint) {
  if (pixels <= 0) return;
  const size_t bytes = size_t(pixels) * 3;
  const unsigned keep = 256u - tint.opacity;
  const uint16_t weighted[3] = {uint16_t(tint.blue * tint.opacity), uint16_t(tint.green * tint.opacity),
                                uint16_t(tint.red * tint.opacity)};
  size_t i = 0;
#if defined(__SSE2__)
  // 48 bytes (16 pixels) a round, so the channel pattern repeats in every round.
  alignas(16) uint16_t pattern[48];
  for (size_t k = 0; k < 48; ++k) pattern[k] = weighted[k % 3];
  __m128i target[6];
  for (size_t k = 0; k < 6; ++k) target[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + k * 8));
  const __m128i factor = _mm_set1_epi16(int16_t(keep));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 48 <= bytes; i += 48) {
    __m128i in[3];
    for (size_t k = 0; k < 3; ++k) in[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + k * 16));
    for (size_t k = 0; k < 3; ++k) {
      __m128i low = _mm_unpacklo_epi8(in[k], zero), high = _mm_unpackhi_epi8(in[k], zero);
      low = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(low, factor), target[2 * k]), 8);
      high = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(high, factor), target[2 * k + 1]), 8);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + k * 16), _mm_packus_epi16(low, high));
    }
  }
#endif
  for (; i < bytes; ++i) dst[i] = uint8_t((src[i] * keep + weighted[i % 3]) >> 8);
}

}  // namespace orv
