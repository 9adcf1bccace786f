#pragma once
// The table-driven ARC1 decoder. It gives exactly the bytes of the bit-by-bit decoder in
// arc1.h on every input, malformed ones included (bits past the end of the payload read as 0).
#include "graphics/arc1.h"

namespace orv {

// Decodes unpackedSize bytes from a payload (the file bytes after the 8-byte header).
Arc1Result DecodeArc1Payload(uint32_t unpackedSize, ByteSpan payload);
// The same over whole file bytes, with the checks of DecodeArc1File.
Arc1Result DecodeArc1FileFast(ByteSpan fileBytes);

}  // namespace orv
