#include "graphics/arc1_fast.h"

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

constexpr int kTableBits = 12;
constexpr uint32_t kTableSize = 1u << kTableBits;
constexpr uint32_t kTableMask = kTableSize - 1;

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

// Decoding tables, two per 12-bit prefix, read side by side.
// The entry (32 or 64 bits):
//   bits 0-15   where the next index starts in the bit buffer once this prefix's codes are
//               consumed, and its width: a ready-made BEXTR control word
//   bits 16-    up to two (32-bit entry) or six (64-bit entry) decoded bytes, the first in
//               bits 16-23; for a code longer than the table, the internal node reached
//               after 12 bits
// The info byte: bits consumed (bits 0-3) and bytes decoded (bits 4-6; 0 for a long code).
// Wide entries pay off when short codes let many bytes share a lookup; otherwise narrow
// entries keep both tables (16 + 4 KiB) inside the first-level cache.
constexpr int kBytesShift = 16;

template <typename Entry>
struct DecodeTables {
  static constexpr uint32_t kMaxBytes = (sizeof(Entry) * 8 - kBytesShift) / 8;
  Entry entry[kTableSize];
  uint8_t info[kTableSize];
};

inline uint32_t InfoBits(uint8_t info) { return info & 15; }
inline uint32_t InfoCount(uint8_t info) { return info >> 4; }

template <typename Entry>
void BuildTables(const uint16_t* single, DecodeTables<Entry>& tables) {
  auto set = [&](uint32_t i, uint32_t bits, uint32_t count, uint64_t bytes) {
    tables.entry[i] = Entry(uint64_t(64 - kTableBits - bits) | uint64_t(kTableBits) << 8 | bytes << kBytesShift);
    tables.info[i] = uint8_t(bits | count << 4);
  };
  for (uint32_t i = 0; i < kTableSize; ++i) {
    const uint16_t first = single[i];
    if (first & kLongCode) {
      set(i, kTableBits, 0, uint64_t(kArc1FirstNode + (first & 0xFF)));
      continue;
    }
    // Further whole codes that fit in the same 12 bits ride along.
    uint32_t bits = first >> 8, count = 1;
    uint64_t bytes = first & 0xFF;
    while (count < DecodeTables<Entry>::kMaxBytes) {
      const uint16_t next = single[(i << bits) & kTableMask];
      if ((next & kLongCode) || bits + (next >> 8) > kTableBits) break;
      bytes |= uint64_t(next & 0xFF) << (8 * count);
      bits += next >> 8;
      ++count;
    }
    set(i, bits, count, bytes);
  }
}

// The shortest code length in the table (a leaf's entry carries its length).
int ShortestCode(const uint16_t* single) {
  int shortest = kTableBits + 1;
  for (uint32_t i = 0; i < kTableSize; ++i)
    if (!(single[i] & kLongCode)) shortest = std::min(shortest, single[i] >> 8);
  return shortest;
}

inline uint64_t LoadBE64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return __builtin_bswap64(v);
}

// The next table index, taken from the buffer as it was before `entry`'s bits are shifted
// out. Done this way, one instruction after the entry's load (BEXTR) leads to the next load,
// which is the chain that bounds the decoding speed.
// (64-bit result: a 32-bit one would cost a zero-extending move on that chain.)
template <bool kBmi>
inline uint64_t NextIndex(uint64_t buf, uint64_t entry) {
#if defined(__x86_64__)
  if constexpr (kBmi) {
    uint64_t index;
    asm("bextr %2, %1, %0" : "=r"(index) : "r"(buf), "r"(entry));
    return index;
  }
#endif
  return (buf >> (entry & 63)) & kTableMask;
}

bool CpuHasBmi() {
#if defined(__x86_64__)
  static const bool has = __builtin_cpu_supports("bmi");
  return has;
#else
  return false;
#endif
}

// MSB-first bit buffer: the next bit is bit 63 of `buf`; `count` bits are valid. Bits below
// `count` are either zero or already the correct following bits, so refills may OR over them.
struct BitStream {
  const uint8_t* in;
  const uint8_t* end;
  uint64_t buf = 0;
  unsigned count = 0;

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
inline uint8_t FinishLongCode(BitStream& s, const Arc1Tree& tree, uint64_t entry) {
  s.Skip(kTableBits);
  int node = int(entry >> kBytesShift);
  while (node >= kArc1FirstNode) {
    if (s.count == 0) s.RefillSafe();
    const bool bit = s.buf >> 63;
    s.Skip(1);
    node = bit ? tree.right[node] : tree.left[node];
  }
  return uint8_t(node);
}

template <bool kBmi, typename Entry>
void DecodeCodes(const Arc1Tree& tree, const DecodeTables<Entry>& tables, BitStream& s, uint8_t* out,
                 uint8_t* const outEnd) {
  // Main loop. A refill of eight bytes makes all 64 bits of the buffer true stream bits, so
  // after four lookups (4 x 12 <= 48 bits) the next entry can already be fetched; the refill
  // then runs while that load is in flight. Each lookup stores a whole entry's bytes whatever
  // its count, hence the room kept at the end of the output.
  constexpr ptrdiff_t kRoom = 4 * DecodeTables<Entry>::kMaxBytes + sizeof(Entry);
  while (s.end - s.in >= 8 && outEnd - out >= kRoom) {
    uint64_t buf = s.buf;
    unsigned count = s.count;
    const uint8_t* in = s.in;
    buf |= LoadBE64(in) >> count;
    in += (63 - count) >> 3;
    count |= 56;
    uint64_t index = buf >> (64 - kTableBits);
    Entry entry = tables.entry[index];
    uint8_t info = tables.info[index];
    bool longCode = false;
    for (;;) {
#pragma GCC unroll 4
      for (int k = 0; k < 4; ++k) {
        if (__builtin_expect(InfoCount(info) == 0, 0)) {
          longCode = true;
          break;
        }
        index = NextIndex<kBmi>(buf, entry);
        buf <<= InfoBits(info);
        count -= InfoBits(info);
        const Entry bytes = entry >> kBytesShift;
        std::memcpy(out, &bytes, sizeof(Entry));
        out += InfoCount(info);
        entry = tables.entry[index];
        info = tables.info[index];
      }
      if (longCode || s.end - in < 8 || outEnd - out < kRoom) break;
      buf |= LoadBE64(in) >> count;
      in += (63 - count) >> 3;
      count |= 56;
    }
    s.buf = buf;
    s.count = count;
    s.in = in;
    if (longCode) *out++ = FinishLongCode(s, tree, entry);
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
    const uint64_t index = s.buf >> (64 - kTableBits);
    const Entry entry = tables.entry[index];
    const uint8_t info = tables.info[index];
    if (InfoCount(info) == 0) {
      *out++ = FinishLongCode(s, tree, entry);
      continue;
    }
    s.Skip(InfoBits(info));
    const uint32_t count = std::min<uint32_t>(InfoCount(info), uint32_t(outEnd - out));
    for (uint32_t i = 0; i < count; ++i) *out++ = uint8_t(entry >> (kBytesShift + 8 * i));
  }
}

}  // namespace

std::string_view DecodeArc1Into(ByteSpan payload, std::span<uint8_t> out, bool allowCpuExtensions) {
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

  uint16_t single[kTableSize];
  FillSingle(tree, tree.root, 0, 0, single);
  BitStream stream{payload.data() + std::min<uint64_t>(treeBits.pos / 8, payload.size()),
                   payload.data() + payload.size()};
  stream.RefillSafe();
  stream.Skip(unsigned(treeBits.pos % 8));
  auto decode = [&](auto& tables) {
    BuildTables(single, tables);
    if (allowCpuExtensions && CpuHasBmi())
      DecodeCodes<true>(tree, tables, stream, out.data(), out.data() + out.size());
    else
      DecodeCodes<false>(tree, tables, stream, out.data(), out.data() + out.size());
  };
  if (ShortestCode(single) <= 4) {
    DecodeTables<uint64_t> tables;
    decode(tables);
  } else {
    DecodeTables<uint32_t> tables;
    decode(tables);
  }
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
