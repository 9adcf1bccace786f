#pragma once
// The pixel arithmetic of the stage: pasting character pictures (opaque, colour-keyed,
// masked) into a stage buffer, one step of the cross-fade and the message box tint (which
// runs over the box on every presented frame). Each row kernel exists as a
// plain scalar loop, which is the definition, and in vector forms chosen at run time from
// what the processor offers; the vector forms give the same bytes for every input.
//
//   kernel        per byte D of the stage, I of the picture, M of the mask, T of the target
//   masked        D = ((I - D) * (255 - M) + D * 256) >> 8   (M = 0 is not a plain copy)
//   colour key    a pixel equal to the key in blue, green and red is left out, others copied
//   cross-fade    D = D + ((T - D) * step >> 4)   (equal to FadeTable[T][D][step])
//   box tint      D = ((C - D) * opacity + D * 256) >> 8   (C the box colour's channel)
#include <cstddef>
#include <cstdint>

#include "platform/image.h"

namespace orv {

enum class SimdLevel { Scalar, Sse2, Ssse3, Avx2 };

struct BoxTint {
  uint8_t opacity = 0;
  uint8_t blue = 0, green = 0, red = 0;
};

struct BlendKernels {
  SimdLevel level = SimdLevel::Scalar;
  // `bytes` bytes of image and mask blended into dst.
  void (*blendMasked)(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes) = nullptr;
  // `pixels` BGR pixels copied into dst except those equal to the key (b, g, r).
  void (*pasteKeyed)(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key) = nullptr;
  // `bytes` bytes of work moved step/16 of the way towards target.
  void (*crossFade)(uint8_t* work, const uint8_t* target, size_t bytes, int step) = nullptr;
  // `pixels` BGR pixels of src tinted into dst (src itself, or a buffer apart from it).
  void (*tint)(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint) = nullptr;
};

// The best level this processor runs.
SimdLevel BestSimdLevel();
// The kernels of a level; a level the processor (or the build) lacks gives the best one below it.
BlendKernels KernelsFor(SimdLevel level);
// The kernels of BestSimdLevel(), chosen once.
const BlendKernels& ActiveKernels();
const char* SimdLevelName(SimdLevel level);

// Where a picture of width x height placed at (x, y) lands on the 640 x 480 stage. Columns
// start at stage column max(x, 0) with the picture's own column 0, whatever x is (a picture
// pushed off the left edge shows its left part, ending at stage column x + width - 1); rows
// keep their place and are cut at the top and bottom edges.
struct Placement {
  int stageColumn = 0;   // first stage column drawn
  int columns = 0;       // columns drawn, starting at picture column 0
  int pictureRow = 0;    // first picture row drawn
  int stageRow = 0;      // the stage row it lands on
  int rows = 0;
  bool empty() const { return columns <= 0 || rows <= 0; }
};
Placement PlacePicture(int x, int y, int width, int height, int stageWidth = kStageWidth,
                       int stageHeight = kStageHeight);

// Character drawing into a stage buffer (a 640 x 480 image). Opaque copies every pixel;
// colour-keyed leaves out every pixel equal to the picture's top-left one; masked takes the
// left half of the picture (width / 2 columns) as the image and the next width / 2 columns
// as its mask (black opaque, white transparent).
void PasteOpaque(Image& stage, const Image& picture, int x, int y);
void PasteColorKeyed(Image& stage, const Image& picture, int x, int y, const BlendKernels& k = ActiveKernels());
void PasteMasked(Image& stage, const Image& picture, int x, int y, const BlendKernels& k = ActiveKernels());

// One cross-fade step over two pictures of the same size.
void CrossFadeStep(Image& work, const Image& target, int step, const BlendKernels& k = ActiveKernels());

// The box tint over `pixels` BGR pixels of src into dst (src itself, or a buffer apart from it).
inline void TintPixels(const uint8_t* src, uint8_t* dst, int pixels, const BoxTint& tint,
                       const BlendKernels& k = ActiveKernels()) {
  if (pixels > 0) k.tint(src, dst, size_t(pixels), tint);
}

// The scalar definitions, for the vector forms to be checked against.
namespace scalar {
void BlendMasked(uint8_t* dst, const uint8_t* image, const uint8_t* mask, size_t bytes);
void PasteKeyed(uint8_t* dst, const uint8_t* src, size_t pixels, Rgb key);
void CrossFade(uint8_t* work, const uint8_t* target, size_t bytes, int step);
void Tint(const uint8_t* src, uint8_t* dst, size_t pixels, const BoxTint& tint);
}  // namespace scalar

}  // namespace orv
