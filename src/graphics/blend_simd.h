#pragma once
// The vector forms of the blend kernels (x86 only), compiled for their instruction sets with
// target attributes and chosen at run time by blend.cpp.
#include <cstddef>
#include <cstdint>

#include "platform/image.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define ORVANE_X86_SIMD 1
#endif

#ifdef ORVANE_X86_SIMD
namespace orv::simd {

void BlendMaskedSse2(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes);
void BlendMaskedAvx2(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes);
void PasteKeyedSsse3(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key);
void CrossFadeSse2(uint8_t* work, const uint8_t* target, size_t bytes, int step);
void CrossFadeAvx2(uint8_t* work, const uint8_t* target, size_t bytes, int step);

}  // namespace orv::simd
#endif
