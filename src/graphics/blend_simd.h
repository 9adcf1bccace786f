#pragma once
// The vector forms of the blend kernels (x86 only), compiled for their instruction sets with
// target attributes and chosen at run time by blend.cpp.
#include <cstddef>
#include <cstdint>

#include "platform/image.h"

namespace orv {
struct BoxTint;
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define ORVANE_X86_SIMD 1
#endif

#ifdef ORVANE_X86_SIMD
namespace orv::simd {

void BlendMaskedSse2(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes);
void BlendMaskedAvx2(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes);
void PasteKeyedSsse3(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key);
void PasteKeyedAvx2(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key);
void CrossFadeSse2(uint8_t* work, const uint8_t* target, size_t bytes, int step);
void CrossFadeAvx2(uint8_t* work, const uint8_t* target, size_t bytes, int step);
void TintSse2(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint);
void TintAvx2(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint);

}  // namespace orv::simd
#endif
