// Vector forms of the blend kernels. Each function carries the target attribute of its
// instruction set, so the file builds for any x86 processor and blend.cpp calls only what
// the processor running it supports. Every form gives the bytes of the scalar definition.
#include "graphics/blend_simd.h"

#ifdef ORVANE_X86_SIMD
#include <immintrin.h>

#include "graphics/blend.h"

namespace orv::simd {

namespace {

// (D * (M + 1) + I * (255 - M)) >> 8 on 16-bit lanes: the masked blend regrouped so that
// both products and their sum stay within 0..65280, unsigned 16 bits.
__attribute__((target("sse2"))) inline __m128i BlendLanes(__m128i d, __m128i i, __m128i m) {
  const __m128i one = _mm_set1_epi16(1), full = _mm_set1_epi16(255);
  const __m128i kept = _mm_mullo_epi16(d, _mm_add_epi16(m, one));
  const __m128i drawn = _mm_mullo_epi16(i, _mm_sub_epi16(full, m));
  return _mm_srli_epi16(_mm_add_epi16(kept, drawn), 8);
}

__attribute__((target("avx2"))) inline __m256i BlendLanes(__m256i d, __m256i i, __m256i m) {
  const __m256i one = _mm256_set1_epi16(1), full = _mm256_set1_epi16(255);
  const __m256i kept = _mm256_mullo_epi16(d, _mm256_add_epi16(m, one));
  const __m256i drawn = _mm256_mullo_epi16(i, _mm256_sub_epi16(full, m));
  return _mm256_srli_epi16(_mm256_add_epi16(kept, drawn), 8);
}

// W + ((T - W) * step >> 4) on 16-bit lanes; the product fits in -3825..3825.
__attribute__((target("sse2"))) inline __m128i FadeLanes(__m128i w, __m128i t, __m128i step) {
  return _mm_add_epi16(w, _mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(t, w), step), 4));
}

__attribute__((target("avx2"))) inline __m256i FadeLanes(__m256i w, __m256i t, __m256i step) {
  return _mm256_add_epi16(w, _mm256_srai_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(t, w), step), 4));
}

// The box tint regrouped: with o the opacity, ((C - D) * o + D * 256) >> 8 equals
// (D * (256 - o) + C * o) >> 8, and that sum never exceeds 255 * 256, so it fits an unsigned
// 16-bit lane exactly. The colour's products C * o repeat every three bytes, so eight lanes
// of them come in three phases: the lanes of bytes 8n to 8n + 7 have phase n % 3, which
// starts with the channel 8n % 3.
struct TintFactors {
  uint16_t keep;         // 256 - o
  uint16_t weighted[3];  // C * o for blue, green, red
  explicit TintFactors(const BoxTint& t)
      : keep(uint16_t(256 - t.opacity)),
        weighted{uint16_t(t.blue * t.opacity), uint16_t(t.green * t.opacity), uint16_t(t.red * t.opacity)} {}
};

__attribute__((target("sse2"))) inline __m128i TintPhase(const TintFactors& f, int phase) {
  const int first = 8 * phase % 3;
  const int16_t a = int16_t(f.weighted[first]), b = int16_t(f.weighted[(first + 1) % 3]),
                c = int16_t(f.weighted[(first + 2) % 3]);
  return _mm_setr_epi16(a, b, c, a, b, c, a, b);
}

__attribute__((target("sse2"))) inline __m128i TintLanes(__m128i d, __m128i keep, __m128i weighted) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d, keep), weighted), 8);
}

__attribute__((target("avx2"))) inline __m256i TintLanes(__m256i d, __m256i keep, __m256i weighted) {
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d, keep), weighted), 8);
}

// Sixteen (thirty-two) bytes tinted, with the colour lanes of their low and high halves.
__attribute__((target("sse2"))) inline void Tint16(const uint8_t* src, uint8_t* dst, __m128i keep, __m128i low,
                                                   __m128i high) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i lo = TintLanes(_mm_unpacklo_epi8(d, zero), keep, low);
  const __m128i hi = TintLanes(_mm_unpackhi_epi8(d, zero), keep, high);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(lo, hi));
}

__attribute__((target("avx2"))) inline void Tint32(const uint8_t* src, uint8_t* dst, __m256i keep, __m256i low,
                                                   __m256i high) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  const __m256i lo = TintLanes(_mm256_unpacklo_epi8(d, zero), keep, low);
  const __m256i hi = TintLanes(_mm256_unpackhi_epi8(d, zero), keep, high);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_packus_epi16(lo, hi));
}

}  // namespace

__attribute__((target("sse2"))) void BlendMaskedSse2(uint8_t* dst, const uint8_t* image, const uint8_t* mask,
                                                      size_t bytes) {
  const __m128i zero = _mm_setzero_si128(), white = _mm_set1_epi8(-1);
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    // A white mask leaves the stage as it is: (D * 256) >> 8.
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(m, white)) == 0xFFFF) continue;
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(image + i));
    const __m128i lo = BlendLanes(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(m, zero));
    const __m128i hi = BlendLanes(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(m, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  scalar::BlendMasked(dst + i, image + i, mask + i, bytes - i);
}

__attribute__((target("avx2"))) void BlendMaskedAvx2(uint8_t* dst, const uint8_t* image, const uint8_t* mask,
                                                      size_t bytes) {
  const __m256i zero = _mm256_setzero_si256(), white = _mm256_set1_epi8(-1);
  size_t i = 0;
  for (; i + 32 <= bytes; i += 32) {
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(m, white)) == -1) continue;
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(image + i));
    // Unpacking and packing both work within 128-bit lanes, so the byte order comes back.
    const __m256i lo =
        BlendLanes(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(m, zero));
    const __m256i hi =
        BlendLanes(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(m, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
  }
  BlendMaskedSse2(dst + i, image + i, mask + i, bytes - i);
}

__attribute__((target("ssse3"))) void PasteKeyedSsse3(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key) {
  // Sixteen pixels are 48 bytes, three vectors; the key repeats every three bytes.
  alignas(16) uint8_t pattern[48];
  for (int i = 0; i < 48; i += 3) {
    pattern[i] = key.b;
    pattern[i + 1] = key.g;
    pattern[i + 2] = key.r;
  }
  const __m128i k0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
  const __m128i k1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16));
  const __m128i k2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 32));
  // Turns 16 mask bits into 16 bytes of 0x00 / 0xFF.
  const __m128i spread = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1);
  const __m128i bitOf = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  constexpr uint64_t kFirstBytes = 0x249249249249ull;  // bit 3k for pixels k = 0..15

  size_t p = 0;
  for (; p + 16 <= pixels; p += 16, src += 48, dst += 48) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
    const uint64_t equal = uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(s0, k0)))) |
                           uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(s1, k1)))) << 16 |
                           uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(s2, k2)))) << 32;
    const uint64_t keyed = equal & (equal >> 1) & (equal >> 2) & kFirstBytes;
    if (keyed == kFirstBytes) continue;  // all transparent
    __m128i* out = reinterpret_cast<__m128i*>(dst);
    if (keyed == 0) {
      _mm_storeu_si128(out, s0);
      _mm_storeu_si128(out + 1, s1);
      _mm_storeu_si128(out + 2, s2);
      continue;
    }
    const uint64_t leave = keyed | keyed << 1 | keyed << 2;
    const __m128i s[3] = {s0, s1, s2};
    for (int j = 0; j < 3; ++j) {
      const __m128i bits = _mm_shuffle_epi8(_mm_cvtsi32_si128(int((leave >> (16 * j)) & 0xFFFF)), spread);
      const __m128i keep = _mm_cmpeq_epi8(_mm_and_si128(bits, bitOf), bitOf);
      const __m128i d = _mm_loadu_si128(out + j);
      _mm_storeu_si128(out + j, _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s[j])));
    }
  }
  scalar::PasteKeyed(dst, src, pixels - p, key);
}

__attribute__((target("avx2"))) void PasteKeyedAvx2(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key) {
  // Thirty-two pixels are 96 bytes, three vectors; the key repeats every three bytes.
  alignas(32) uint8_t pattern[96];
  for (int i = 0; i < 96; i += 3) {
    pattern[i] = key.b;
    pattern[i + 1] = key.g;
    pattern[i + 2] = key.r;
  }
  const __m256i k0 = _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern));
  const __m256i k1 = _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern + 32));
  const __m256i k2 = _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern + 64));
  // Turns 32 mask bits into 32 bytes of 0x00 / 0xFF; shuffles stay within 128-bit lanes, so
  // the high lane reads its bits from the broadcast copy of bytes 2 and 3.
  const __m256i spread =
      _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
  const __m256i bitOf = _mm256_set1_epi64x(int64_t(0x8040201008040201ull));
  constexpr uint64_t kFirstBytes = 0x249249249249ull;  // bit 3k for pixels k = 0..15 of 48 bytes

  size_t p = 0;
  for (; p + 32 <= pixels; p += 32, src += 96, dst += 96) {
    const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
    const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32));
    const __m256i s2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 64));
    const uint64_t e0 = uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s0, k0)));
    const uint64_t e1 = uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s1, k1)));
    const uint64_t e2 = uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s2, k2)));
    // The equal bytes of pixels 0..15 (bytes 0..47; the bits above them fall outside
    // kFirstBytes) and of pixels 16..31 (bytes 48..95).
    const uint64_t first = e0 | e1 << 32, second = e1 >> 16 | e2 << 16;
    const uint64_t keyedFirst = first & (first >> 1) & (first >> 2) & kFirstBytes;
    const uint64_t keyedSecond = second & (second >> 1) & (second >> 2) & kFirstBytes;
    if ((keyedFirst & keyedSecond) == kFirstBytes) continue;  // all transparent
    __m256i* out = reinterpret_cast<__m256i*>(dst);
    if ((keyedFirst | keyedSecond) == 0) {
      _mm256_storeu_si256(out, s0);
      _mm256_storeu_si256(out + 1, s1);
      _mm256_storeu_si256(out + 2, s2);
      continue;
    }
    const uint64_t leaveFirst = keyedFirst | keyedFirst << 1 | keyedFirst << 2;
    const uint64_t leaveSecond = keyedSecond | keyedSecond << 1 | keyedSecond << 2;
    const uint32_t leave[3] = {uint32_t(leaveFirst), uint32_t(leaveFirst >> 32 | leaveSecond << 16),
                               uint32_t(leaveSecond >> 16)};
    const __m256i s[3] = {s0, s1, s2};
    for (int j = 0; j < 3; ++j) {
      const __m256i bits = _mm256_shuffle_epi8(_mm256_set1_epi32(int(leave[j])), spread);
      const __m256i keep = _mm256_cmpeq_epi8(_mm256_and_si256(bits, bitOf), bitOf);
      const __m256i d = _mm256_loadu_si256(out + j);
      _mm256_storeu_si256(out + j, _mm256_blendv_epi8(s[j], d, keep));
    }
  }
  PasteKeyedSsse3(dst, src, pixels - p, key);
}

__attribute__((target("sse2"))) void CrossFadeSse2(uint8_t* work, const uint8_t* target, size_t bytes, int step) {
  const __m128i zero = _mm_setzero_si128(), s = _mm_set1_epi16(int16_t(step));
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(work + i));
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
    const __m128i lo = FadeLanes(_mm_unpacklo_epi8(w, zero), _mm_unpacklo_epi8(t, zero), s);
    const __m128i hi = FadeLanes(_mm_unpackhi_epi8(w, zero), _mm_unpackhi_epi8(t, zero), s);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(work + i), _mm_packus_epi16(lo, hi));
  }
  scalar::CrossFade(work + i, target + i, bytes - i, step);
}

__attribute__((target("avx2"))) void CrossFadeAvx2(uint8_t* work, const uint8_t* target, size_t bytes, int step) {
  const __m256i zero = _mm256_setzero_si256(), s = _mm256_set1_epi16(int16_t(step));
  size_t i = 0;
  for (; i + 32 <= bytes; i += 32) {
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(work + i));
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + i));
    const __m256i lo = FadeLanes(_mm256_unpacklo_epi8(w, zero), _mm256_unpacklo_epi8(t, zero), s);
    const __m256i hi = FadeLanes(_mm256_unpackhi_epi8(w, zero), _mm256_unpackhi_epi8(t, zero), s);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(work + i), _mm256_packus_epi16(lo, hi));
  }
  CrossFadeSse2(work + i, target + i, bytes - i, step);
}

__attribute__((target("sse2"))) void TintSse2(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint) {
  // 48 bytes (16 pixels) a round, so every round starts with phase 0: bytes 0, 16 and 32
  // have phases 0, 2 and 1, bytes 8, 24 and 40 phases 1, 0 and 2.
  const TintFactors f(tint);
  const __m128i phase[3] = {TintPhase(f, 0), TintPhase(f, 1), TintPhase(f, 2)};
  const __m128i keep = _mm_set1_epi16(int16_t(f.keep));
  size_t p = 0;
  for (; p + 16 <= pixels; p += 16, src += 48, dst += 48) {
    Tint16(src, dst, keep, phase[0], phase[1]);
    Tint16(src + 16, dst + 16, keep, phase[2], phase[0]);
    Tint16(src + 32, dst + 32, keep, phase[1], phase[2]);
  }
  scalar::Tint(src, dst, pixels - p, tint);
}

__attribute__((target("avx2"))) void TintAvx2(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint) {
  // 96 bytes (32 pixels) a round. Unpacking works within 128-bit lanes: the low half of a
  // vector takes its bytes 0-7 and 16-23, the high half bytes 8-15 and 24-31. So the low
  // halves of the round's three vectors have phases (0, 2), (1, 0), (2, 1), the high halves
  // (1, 0), (2, 1), (0, 2).
  const TintFactors f(tint);
  const __m128i p0 = TintPhase(f, 0), p1 = TintPhase(f, 1), p2 = TintPhase(f, 2);
  const __m256i low[3] = {_mm256_set_m128i(p2, p0), _mm256_set_m128i(p0, p1), _mm256_set_m128i(p1, p2)};
  const __m256i high[3] = {_mm256_set_m128i(p0, p1), _mm256_set_m128i(p1, p2), _mm256_set_m128i(p2, p0)};
  const __m256i keep = _mm256_set1_epi16(int16_t(f.keep));
  size_t p = 0;
  const bool inPlace = src == dst;
  for (; p + 32 <= pixels; p += 32, src += 96, dst += 96) {
    Tint32(src, dst, keep, low[0], high[0]);
    Tint32(src + 32, dst + 32, keep, low[1], high[1]);
    Tint32(src + 64, dst + 64, keep, low[2], high[2]);
  }
  if (p < pixels && p >= 32 && !inPlace) {
    // The tail as one more round ending at the last pixel: a round that starts on a pixel has
    // the phases of any other, and the pixels it shares with the round before get the same
    // bytes again (the source is still untouched). A box's width is rarely a multiple of 32.
    const size_t back = (32 - (pixels - p)) * 3;
    Tint32(src - back, dst - back, keep, low[0], high[0]);
    Tint32(src - back + 32, dst - back + 32, keep, low[1], high[1]);
    Tint32(src - back + 64, dst - back + 64, keep, low[2], high[2]);
    return;
  }
  TintSse2(src, dst, pixels - p, tint);
}

}  // namespace orv::simd

#endif  // ORVANE_X86_SIMD
