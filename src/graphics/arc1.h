#pragma once
// ARC1, the kit's compressed bitmap: "ARC1", a 32-bit little-endian unpacked size, then a
// payload that holds a pre-order Huffman tree followed by the codes of the bytes, read as one
// MSB-first bit stream. The unpacked bytes are a whole BMP file.
//
// This header holds the bit-by-bit decoder that walks the tree once per output byte. It is
// the behaviour every other decoder is checked against; DecodeArc1File itself runs the
// table-driven decoder of arc1_fast.h, which gives the same bytes on every input.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "graphics/bmp_decoder.h"
#include "platform/bytes.h"
#include "platform/result.h"

namespace orv {

// Whole ARC1 file/member bytes incl. "ARC1" magic and size header: the unpacked bytes, or
// empty ones when the bytes carry no ARC1 data (no magic). The errors, with the Shift-JIS
// message the player is shown: a tree of more than 255 internal nodes (Malformed,
// kArc1TreeError) and an unpacked size above kArc1MaxUnpackedBytes (TooLarge, kArc1SizeError).
Result<Bytes> DecodeArc1File(ByteSpan fileBytes);
// The first `count` unpacked bytes of the same (fewer when the file unpacks to fewer), with
// the same errors: what a caller needs to see whether the rest is worth unpacking.
Result<Bytes> DecodeArc1FileStart(ByteSpan fileBytes, size_t count);

inline constexpr size_t kArc1HeaderBytes = 8;
inline constexpr int kArc1FirstNode = 256;  // child values below this are leaves (the byte itself)
inline constexpr int kArc1NodeLimit = 511;  // internal nodes are 256..510: at most 255 of them
// The unpacked bytes are a BMP file, so they can be no larger than the largest BMP the
// player decodes; a header asking for more is refused before anything is allocated (a file of
// ten bytes must not make the player reserve hundreds of megabytes).
inline constexpr uint32_t kArc1MaxUnpackedBytes = uint32_t(kMaxBmpFileBytes);
static_assert(kArc1MaxUnpackedBytes == kMaxBmpFileBytes);

// "エラー": the tree has more internal nodes than the tables hold.
inline constexpr std::string_view kArc1TreeError = "\x83\x47\x83\x89\x81\x5B";
// "画像データが大きすぎます。": the header asks for more than kArc1MaxUnpackedBytes.
inline constexpr std::string_view kArc1SizeError =
    "\x89\xE6\x91\x9C\x83\x66\x81\x5B\x83\x5E\x82\xAA\x91\xE5\x82\xAB\x82\xB7\x82\xAC\x82\xDC\x82\xB7\x81\x42";
inline Error Arc1TreeError() { return {ErrorKind::Malformed, std::string(kArc1TreeError)}; }
inline Error Arc1SizeError() { return {ErrorKind::TooLarge, std::string(kArc1SizeError)}; }

// The two parts of an ARC1 file. Nothing when the bytes do not start with "ARC1" or end
// inside the 8-byte header: such data holds no picture and is passed over quietly.
struct Arc1Parts {
  uint32_t unpackedSize = 0;
  ByteSpan payload;
};
std::optional<Arc1Parts> SplitArc1File(ByteSpan fileBytes);

struct Arc1Decoder {
  int16_t bitsLeft = 0;      // unread bits in currentByte
  uint16_t currentByte = 0;
  uint32_t readPos = 0;      // next payload byte to load
  uint32_t outLen = 0;
  Bytes payload;
  Bytes output;              // sized to the unpacked size before decoding
  int16_t nextNode = 0;
  int16_t left[kArc1NodeLimit] = {};
  int16_t right[kArc1NodeLimit] = {};
  bool treeTooLarge = false;  // set by ReadArc1Tree; the picture is then abandoned
};

// One bit, 0 or 1. Bits past the end of the payload read as 0.
int ReadBit(Arc1Decoder& decoder);
// n bits (1 <= n <= 16), the first read the most significant.
uint16_t ReadBits(Arc1Decoder& decoder, int n);
// Reads one subtree and returns its child value: a byte (leaf) or an internal node number.
// Once the node numbers run out it sets treeTooLarge and reads nothing more.
int16_t ReadArc1Tree(Arc1Decoder& decoder);
// Reads the tree, then decodes count bytes into output (never past its end). When the tree is
// too large (Arc1TreeError) output is left untouched.
Result<void> DecodeArc1(Arc1Decoder& decoder, uint32_t count);
// Checks and decodes whole ARC1 file bytes into the decoder: payload and output filled. Bytes
// that carry no ARC1 data leave both empty and are no error.
Result<void> LoadArc1File(Arc1Decoder& decoder, ByteSpan fileBytes);

// The whole-file decode done bit by bit: the oracle for the fast decoder.
Result<Bytes> DecodeArc1FileReference(ByteSpan fileBytes);

}  // namespace orv
