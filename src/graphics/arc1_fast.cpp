#include "graphics/arc1_fast.h"

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

constexpr int kTableBits = 12;
constexpr uint32_t kTableSize = 1u << kTableBits;
constexpr uint32_t kTableMask = kTableSize - 1;
constexpr int kMaxSymbolsPerEntry = 3;

// The tree as the payload describes it, numbered as the bit-by-bit decoder numbers it.
struct Arc1Tree {
  int16_t left[kArc1NodeLimit] = {};
  int16_t right[kArc1NodeLimit] = {};
  int16_t root = 0;
  int nextNode = kArc1FirstNode;
  bool tooLarge = false;
};

// Bit-addressed reads for the tree, which is at most a few thousand bits long.
struct TreeBitReader {
  ByteSpan bytes;
  uint64_t pos = 0;

  int Bit() {
    const uint64_t at = pos++;
    if (at / 8 >= bytes.size()) return 0;
    return (bytes[at / 8] >> (7 - at % 8)) & 1;
  }
  int Byte() {
    int value = 0;
    for (int i = 0; i < 8; ++i) value = value << 1 | Bit();
    return value;
  }
};

// Depth is bounded by the node limit, as in ReadArc1Tree.
int16_t ReadTree(TreeBitReader& bits, Arc1Tree& tree) {
  if (bits.Bit() == 0) return int16_t(bits.Byte());
  const int node = tree.nextNode++;
  if (node >= kArc1NodeLimit) {
    tree.tooLarge = true;
    return 0;
  }
  tree.left[node] = ReadTree(bits, tree);
  if (tree.tooLarge) return 0;
  tree.right[node] = ReadTree(bits, tree);
  if (tree.tooLarge) return 0;
  return int16_t(node);
}

// First-level table: one code per 12-bit prefix. A leaf entry holds the byte and its code
// length; a long entry holds the internal node reached after 12 bits.
constexpr uint16_t kLongCode = 0x8000;

void FillSingle(const Arc1Tree& tree, int value, uint32_t code, int length, uint16_t* single) {
  if (value < kArc1FirstNode) {
    const uint32_t first = code << (kTableBits - length);
    std::fill_n(single + first, 1u << (kTableBits - length), uint16_t(value | length << 8));
    return;
  }
  if (length == kTableBits) {
    single[code] = uint16_t(kLongCode | (value - kArc1FirstNode));
    return;
  }
  FillSingle(tree, tree.left[value], code << 1, length + 1, single);
  FillSingle(tree, tree.right[value], code << 1 | 1, length + 1, single);
}

// Decoding table: bits 0-5 the bits to consume (so the entry itself is the shift count),
// bits 6-7 the number of bytes (0 for a long code), bits 8-31 up to three bytes, first in the
// low byte; for a long code, bits 8-16 the node to continue from.
constexpr uint32_t kCountShift = 6;
constexpr uint32_t kCountMask = 3u << kCountShift;

void BuildTable(const Arc1Tree& tree, uint32_t* table) {
  uint16_t single[kTableSize];
  FillSingle(tree, tree.root, 0, 0, single);
  for (uint32_t i = 0; i < kTableSize; ++i) {
    const uint16_t first = single[i];
    if (first & kLongCode) {
      table[i] = kTableBits | uint32_t(kArc1FirstNode + (first & 0xFF)) << 8;
      continue;
    }
    uint32_t bits = first >> 8, bytes = first & 0xFF, count = 1;
    while (count < kMaxSymbolsPerEntry) {
      const uint16_t next = single[(i << bits) & kTableMask];
      if ((next & kLongCode) || bits + (next >> 8) > kTableBits) break;
      bytes |= uint32_t(next & 0xFF) << (8 * count);
      bits += next >> 8;
      ++count;
    }
    table[i] = bits | count << kCountShift | bytes << 8;
  }
}

inline uint64_t LoadBE64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return __builtin_bswap64(v);
}

// MSB-first bit buffer: the next bit is bit 63 of `buf`; `count` bits are valid. Bits below
// `count` are either zero or already the correct following bits, so refills may OR over them.
struct BitStream {
  const uint8_t* in;
  const uint8_t* end;
  uint64_t buf = 0;
  unsigned count = 0;

  // Needs 8 readable bytes at `in`; leaves 56 to 63 valid bits.
  void RefillFast() {
    buf |= LoadBE64(in) >> count;
    in += (63 - count) >> 3;
    count |= 56;
  }
  // Byte by byte near the end. Past the end the stream is endless zero bits, which the
  // buffer already holds (it shifts zeros in), so it simply counts as full.
  void RefillSafe() {
    while (count <= 56) {
      if (in == end) {
        count = 64;
        return;
      }
      buf |= uint64_t(*in++) << (56 - count);
      count += 8;
    }
  }
  void Skip(unsigned n) {
    buf <<= n;
    count -= n;
  }
  bool Exhausted() const { return in == end && buf == 0; }
};

// Finishes a code longer than the table: one bit per internal node from where it left off.
inline uint8_t FinishLongCode(BitStream& s, const Arc1Tree& tree, uint32_t entry) {
  s.Skip(kTableBits);
  int node = int(entry >> 8);
  while (node >= kArc1FirstNode) {
    if (s.count == 0) s.RefillSafe();
    const bool bit = s.buf >> 63;
    s.Skip(1);
    node = bit ? tree.right[node] : tree.left[node];
  }
  return uint8_t(node);
}

void DecodeCodes(const Arc1Tree& tree, const uint32_t* table, BitStream& s, uint8_t* out, uint8_t* const outEnd) {
  // Main loop: one refill feeds four lookups (4 x 12 <= 56 bits); each lookup stores four
  // bytes whatever its count, so keep 16 bytes of room.
  while (s.end - s.in >= 8 && outEnd - out >= 16) {
    s.RefillFast();
    for (int k = 0; k < 4; ++k) {
      const uint32_t entry = table[s.buf >> (64 - kTableBits)];
      if (__builtin_expect((entry & kCountMask) == 0, 0)) {
        *out++ = FinishLongCode(s, tree, entry);
        break;
      }
      s.Skip(entry & 63);
      const uint32_t bytes = entry >> 8;
      std::memcpy(out, &bytes, 4);
      out += entry >> kCountShift & 3;
    }
  }
  // Tail: the last payload bytes and the last output bytes, written one at a time.
  while (out < outEnd) {
    if (s.count < kTableBits) s.RefillSafe();
    if (s.Exhausted()) {
      // Only zero bits remain: every further code is the all-left path to the same leaf.
      int value = tree.root;
      while (value >= kArc1FirstNode) value = tree.left[value];
      std::memset(out, value, size_t(outEnd - out));
      return;
    }
    const uint32_t entry = table[s.buf >> (64 - kTableBits)];
    if ((entry & kCountMask) == 0) {
      *out++ = FinishLongCode(s, tree, entry);
      continue;
    }
    s.Skip(entry & 63);
    const uint32_t count = std::min<uint32_t>(entry >> kCountShift & 3, uint32_t(outEnd - out));
    for (uint32_t i = 0; i < count; ++i) *out++ = uint8_t(entry >> (8 + 8 * i));
  }
}

}  // namespace

std::string_view DecodeArc1Into(ByteSpan payload, std::span<uint8_t> out) {
  Arc1Tree tree;
  TreeBitReader treeBits{payload};
  tree.root = ReadTree(treeBits, tree);
  if (tree.tooLarge) return kArc1TreeError;
  if (out.empty()) return {};
  if (tree.root < kArc1FirstNode) {
    // A lone leaf: its code is empty and no further bits are read.
    std::memset(out.data(), tree.root, out.size());
    return {};
  }

  uint32_t table[kTableSize];
  BuildTable(tree, table);

  BitStream stream{payload.data() + std::min<uint64_t>(treeBits.pos / 8, payload.size()),
                   payload.data() + payload.size()};
  stream.RefillSafe();
  stream.Skip(unsigned(treeBits.pos % 8));
  DecodeCodes(tree, table, stream, out.data(), out.data() + out.size());
  return {};
}

Arc1Result DecodeArc1FileFast(ByteSpan fileBytes) {
  const auto parts = SplitArc1File(fileBytes);
  if (!parts) return {};
  if (parts->unpackedSize > kArc1MaxUnpackedBytes) return {{}, std::string(kArc1SizeError)};
  Arc1Result result;
  result.output.resize(parts->unpackedSize);
  if (const auto error = DecodeArc1Into(parts->payload, result.output); !error.empty()) {
    result.output.clear();
    result.error = std::string(error);
  }
  return result;
}

}  // namespace orv
