#pragma once
// Writes ARC1 files: an optimal Huffman code over the byte frequencies of the data, the tree
// stored in pre-order ahead of the codes. The game-maker's tool (orvarc1) compresses BMP
// files with it; the tests use it to make pictures for the decoders.
#include "graphics/arc1.h"

namespace orv {

// The whole ARC1 file for `data` (normally the bytes of a BMP file). Data larger than
// kArc1MaxUnpackedBytes is refused with Arc1SizeError, since no decoder would accept it.
// Data with one distinct byte value gets a lone leaf for a tree and no code bits; empty data
// gets a lone leaf of value 0.
Result<Bytes> EncodeArc1File(ByteSpan data);

}  // namespace orv
