#pragma once
// The table-driven ARC1 decoder. It gives exactly the bytes of the bit-by-bit decoder in
// arc1.h on every input, malformed ones included (bits past the end of the payload read as 0).
//
// A 12-bit lookup resolves one to six whole codes at a time from a 64-bit bit buffer that
// is refilled without branches; codes longer than 12 bits finish with a walk down the tree.
// Large pictures are decoded from two places in the stream at once (see DecodeInTwoLanes).
#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/arc1.h"

namespace orv {

struct Arc1FastOptions {
  // Outputs this large, from payloads this large, are decoded in two lanes at once.
  size_t minSplitOutput = size_t(64) << 10;
  size_t minSplitPayload = size_t(16) << 10;
};
// Decodes the payload (the file bytes after the 8-byte header) into all of `out`, whose size
// is the unpacked size. The one error is Arc1TreeError, after which `out` is left untouched.
Result<void> DecodeArc1Into(ByteSpan payload, std::span<uint8_t> out, const Arc1FastOptions& options = {});
// Whole file bytes, with the checks of DecodeArc1File; at most `count` of the unpacked bytes.
Result<Bytes> DecodeArc1FileFast(ByteSpan fileBytes, size_t count = SIZE_MAX);

}  // namespace orv
