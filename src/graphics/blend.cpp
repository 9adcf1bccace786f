#include "graphics/blend.h"

#include <algorithm>
#include <cstring>

#include "graphics/blend_simd.h"

namespace orv {

namespace scalar {

void BlendMasked(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) {
    const int d = dst[i], m = mask[i];
    dst[i] = uint8_t(((image[i] - d) * (255 - m) + d * 256) >> 8);
  }
}

void PasteKeyed(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key) {
  for (size_t p = 0; p < pixels; ++p, src += 3, dst += 3) {
    if (src[0] == key.b && src[1] == key.g && src[2] == key.r) continue;
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
  }
}

void CrossFade(uint8_t* work, const uint8_t* target, size_t bytes, int step) {
  for (size_t i = 0; i < bytes; ++i) work[i] = uint8_t(work[i] + (((target[i] - work[i]) * step) >> 4));
}

void Tint(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint) {
  const int target[3] = {tint.blue, tint.green, tint.red};
  for (size_t p = 0; p < pixels; ++p, src += 3, dst += 3)
    for (int c = 0; c < 3; ++c) dst[c] = uint8_t(((target[c] - src[c]) * tint.opacity + src[c] * 256) >> 8);
}

}  // namespace scalar

SimdLevel BestSimdLevel() {
#ifdef ORVANE_X86_SIMD
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return SimdLevel::Avx2;
  if (__builtin_cpu_supports("ssse3")) return SimdLevel::Ssse3;
  if (__builtin_cpu_supports("sse2")) return SimdLevel::Sse2;
#endif
  return SimdLevel::Scalar;
}

BlendKernels KernelsFor(SimdLevel level) {
  BlendKernels k;
  k.blendMasked = scalar::BlendMasked;
  k.pasteKeyed = scalar::PasteKeyed;
  k.crossFade = scalar::CrossFade;
  k.tint = scalar::Tint;
#ifdef ORVANE_X86_SIMD
  level = std::min(level, BestSimdLevel());
  k.level = level;
  if (level >= SimdLevel::Sse2) {
    k.blendMasked = simd::BlendMaskedSse2;
    k.crossFade = simd::CrossFadeSse2;
    k.tint = simd::TintSse2;
  }
  // The colour key has no SSE2 form (spreading the key test over the bytes takes SSSE3's
  // byte shuffle), so that level runs the plain loop.
  if (level >= SimdLevel::Ssse3) k.pasteKeyed = simd::PasteKeyedSsse3;
  if (level >= SimdLevel::Avx2) {
    k.blendMasked = simd::BlendMaskedAvx2;
    k.crossFade = simd::CrossFadeAvx2;
    k.tint = simd::TintAvx2;
    k.pasteKeyed = simd::PasteKeyedAvx2;
  }
#else
  (void)level;
#endif
  return k;
}

const BlendKernels& ActiveKernels() {
  // Immutable once chosen: which instructions the processor has does not change.
  static const BlendKernels kernels = KernelsFor(BestSimdLevel());
  return kernels;
}

const char* SimdLevelName(SimdLevel level) {
  switch (level) {
    case SimdLevel::Sse2: return "SSE2";
    case SimdLevel::Ssse3: return "SSSE3";
    case SimdLevel::Avx2: return "AVX2";
    default: return "scalar";
  }
}

Placement PlacePicture(int x, int y, int width, int height, int stageWidth, int stageHeight) {
  Placement p;
  if (width <= 0 || height <= 0) return p;
  // 64-bit sums: positions come from scripts and saved games and may be anything.
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t right = std::min<int64_t>(int64_t(x) + width, stageWidth);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t bottom = std::min<int64_t>(int64_t(y) + height, stageHeight);
  if (right <= left || bottom <= top) return p;
  p.stageColumn = int(left);
  p.columns = int(right - left);
  p.stageRow = int(top);
  p.pictureRow = int(top - y);
  p.rows = int(bottom - top);
  return p;
}

void PasteOpaque(Image& stage, const Image& picture, int x, int y) {
  const Placement p = PlacePicture(x, y, picture.width(), picture.height(), stage.width(), stage.height());
  for (int r = 0; r < p.rows; ++r)
    std::memcpy(stage.row(p.stageRow + r) + size_t(p.stageColumn) * 3, picture.row(p.pictureRow + r),
                size_t(p.columns) * 3);
}

void PasteColorKeyed(Image& stage, const Image& picture, int x, int y, const BlendKernels& k) {
  if (picture.empty()) return;
  const Rgb key = picture.Pixel(0, 0);
  const Placement p = PlacePicture(x, y, picture.width(), picture.height(), stage.width(), stage.height());
  for (int r = 0; r < p.rows; ++r)
    k.pasteKeyed(stage.row(p.stageRow + r) + size_t(p.stageColumn) * 3, picture.row(p.pictureRow + r),
                 size_t(p.columns), key);
}

void PasteMasked(Image& stage, const Image& picture, int x, int y, const BlendKernels& k) {
  const int half = picture.width() / 2;
  const Placement p = PlacePicture(x, y, half, picture.height(), stage.width(), stage.height());
  for (int r = 0; r < p.rows; ++r) {
    const uint8_t* image = picture.row(p.pictureRow + r);
    k.blendMasked(stage.row(p.stageRow + r) + size_t(p.stageColumn) * 3, image, image + size_t(half) * 3,
                  size_t(p.columns) * 3);
  }
}

void CrossFadeStep(Image& work, const Image& target, int step, const BlendKernels& k) {
  if (work.width() != target.width() || work.height() != target.height()) return;
  k.crossFade(work.bytes().data(), target.bytes().data(), work.bytes().size(), step);
}

}  // namespace orv
