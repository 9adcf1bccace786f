#include "graphics/arc1_fast.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

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
//               consumed (a shift count)
//   bits 16-    up to two (32-bit entry) or six (64-bit entry) decoded bytes, the first in
//               bits 16-23; for a code longer than the table, the internal node reached
//               after 12 bits
// The info word: bits consumed (bits 0-5, so that it serves as a shift count as it stands)
// and bytes decoded (bits 8-10; 0 for a long code).
// Wide entries pay off when short codes let many bytes share a lookup; otherwise narrow
// entries keep both tables (16 + 8 KiB) inside the first-level data cache.
constexpr int kBytesShift = 16;

template <typename Entry>
struct DecodeTables {
  static constexpr uint32_t kMaxBytes = (sizeof(Entry) * 8 - kBytesShift) / 8;
  Entry entry[kTableSize];
  uint16_t info[kTableSize];
};

using Info = uint32_t;
inline uint32_t InfoBits(Info info) { return info & 63; }
inline uint32_t InfoCount(Info info) { return info >> 8; }

template <typename Entry>
void BuildTables(const uint16_t* single, DecodeTables<Entry>& tables) {
  auto set = [&](uint32_t i, uint32_t bits, uint32_t count, uint64_t bytes) {
    tables.entry[i] = Entry(uint64_t(64 - kTableBits - bits) | bytes << kBytesShift);
    tables.info[i] = uint16_t(bits | count << 8);
  };
  for (uint32_t i = 0; i < kTableSize; ++i) {
    const uint16_t first = single[i];
    if (first & kLongCode) {
      set(i, kTableBits, 0, uint64_t(kArc1FirstNode) + (first & 0xFF));
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

inline uint64_t ByteSwap64(uint64_t v) {
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_bswap64(v);
#else
  uint64_t swapped = 0;
  for (int i = 0; i < 8; ++i, v >>= 8) swapped = swapped << 8 | (v & 0xFF);
  return swapped;
#endif
}

inline uint64_t LoadBE64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::little) v = ByteSwap64(v);
  return v;
}

// Stores all of an entry's byte lanes, the lowest first.
template <typename Entry>
inline void StoreLE(uint8_t* out, Entry bytes) {
  if constexpr (std::endian::native == std::endian::big) bytes = Entry(ByteSwap64(bytes) >> (64 - 8 * sizeof(Entry)));
  std::memcpy(out, &bytes, sizeof(Entry));
}

// The next table index, taken from the buffer as it was before `entry`'s bits are shifted
// out. Done this way, one shift after the entry's load leads to the next load, which is the
// chain that bounds the decoding speed.
// (64-bit result: a 32-bit one would cost a zero-extending move on that chain.)
inline uint64_t NextIndex(uint64_t buf, uint64_t entry) { return (buf >> (entry & 63)) & kTableMask; }

// The four lookups of a block are unrolled, so that each one's loads can start before the
// previous one has been stored.
#if defined(__clang__)
#define ORV_UNROLL_BLOCK _Pragma("unroll 4")
#elif defined(__GNUC__)
#define ORV_UNROLL_BLOCK _Pragma("GCC unroll 4")
#else
#define ORV_UNROLL_BLOCK
#endif

// MSB-first bit buffer: the next bit is bit 63 of `buf`; `count` bits are valid. Bits below
// `count` are either zero or already the correct following bits, so refills may OR over them.
struct BitStream {
  const uint8_t* in;
  const uint8_t* end;
  uint64_t buf = 0;
  unsigned count = 0;

  // Needs 8 readable bytes at `in`. Afterwards all 64 bits of `buf` are true stream bits,
  // 56 to 63 of them counted.
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
  bool CanRefillFast() const { return end - in >= 8; }
  // Bits consumed since `base`; exact while `in` has not reached the end.
  uint64_t BitPos(const uint8_t* base) const { return uint64_t(in - base) * 8 - count; }
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

// Decoding runs in lanes: a bit stream and the bytes it writes. Every lane performs the same
// lookups from the same bit position, so two lanes that meet at one position go on alike.
struct Lane {
  BitStream bits;
  uint8_t* out;
  uint8_t* outEnd;
};

template <typename Entry>
class CodeDecoder {
 public:
  // Each lookup stores a whole entry's bytes whatever its count: the room kept at the end of
  // the output for a block of four.
  static constexpr ptrdiff_t kRoom = 4 * DecodeTables<Entry>::kMaxBytes + sizeof(Entry);

  CodeDecoder(const Arc1Tree& tree, const DecodeTables<Entry>& tables, const uint8_t* base)
      : tree_(tree), tables_(tables), base_(base) {}

  void Decode(Lane& lane, const Arc1FastOptions& options) {
    if (size_t(lane.outEnd - lane.out) >= options.minSplitOutput &&
        size_t(lane.bits.end - lane.bits.in) >= options.minSplitPayload)
      DecodeInTwoLanes(lane);
    RunBlocks(lane, UINT64_MAX);
    RunTail(lane);
  }

 private:
  static constexpr int kCheckpoints = 512;

  bool CanRunBlock(const Lane& lane) const { return lane.bits.CanRefillFast() && lane.outEnd - lane.out >= kRoom; }

  // One lookup of a block, for an entry already known not to be a long code; fetches the
  // next entry. `count` runs with junk above its low six bits (the whole info word is
  // subtracted, which saves masking it on every lookup); refills and write-backs mask it.
  void Step(uint64_t& buf, unsigned& count, uint8_t*& out, Entry& entry, Info& info) const {
    const uint64_t index = NextIndex(buf, entry);
    buf <<= InfoBits(info);
    count -= info;
    StoreLE(out, Entry(entry >> kBytesShift));
    out += InfoCount(info);
    entry = tables_.entry[index];
    info = tables_.info[index];
  }

  // Blocks of four lookups while the lane has input, room, and its position is below
  // `limitBit` by more than a block. A refill of eight bytes makes all 64 bits of the buffer
  // true stream bits, so after four lookups (4 x 12 <= 48 bits) the next entry can already
  // be fetched; the refill then runs while that load is in flight instead of lengthening
  // the chain from one lookup to the next.
  void RunBlocks(Lane& lane, uint64_t limitBit) const {
    while (CanRunBlock(lane) && lane.bits.BitPos(base_) + 48 < limitBit) {
      BitStream s = lane.bits;
      uint8_t* out = lane.out;
      s.RefillFast();
      uint64_t buf = s.buf;
      unsigned count = s.count;
      const uint8_t* in = s.in;
      uint64_t index = buf >> (64 - kTableBits);
      Entry entry = tables_.entry[index];
      Info info = tables_.info[index];
      bool longCode = false;
      for (;;) {
        ORV_UNROLL_BLOCK
        for (int k = 0; k < 4; ++k) {
          if (InfoCount(info) == 0) [[unlikely]] {
            longCode = true;
            break;
          }
          Step(buf, count, out, entry, info);
        }
        count &= 63;
        if (longCode || s.end - in < 8 || lane.outEnd - out < kRoom ||
            uint64_t(in - base_) * 8 - count + 48 >= limitBit)
          break;
        buf |= LoadBE64(in) >> count;
        in += (63 - count) >> 3;
        count |= 56;
      }
      lane.bits.buf = buf;
      lane.bits.count = count;
      lane.bits.in = in;
      lane.out = out;
      if (longCode) *lane.out++ = FinishLongCode(lane.bits, tree_, entry);
    }
  }

  // Blocks of four lookups in two lanes at once: two independent chains of loads keep the
  // processor twice as busy as one.
  void RunBlocksInPairs(Lane& a, uint64_t limitBit, Lane& b) const {
    while (CanRunBlock(a) && CanRunBlock(b) && a.bits.BitPos(base_) + 48 < limitBit) {
      a.bits.RefillFast();
      b.bits.RefillFast();
      uint64_t bufA = a.bits.buf, bufB = b.bits.buf;
      unsigned countA = a.bits.count, countB = b.bits.count;
      const uint8_t *inA = a.bits.in, *inB = b.bits.in;
      uint8_t *outA = a.out, *outB = b.out;
      uint64_t indexA = bufA >> (64 - kTableBits), indexB = bufB >> (64 - kTableBits);
      Entry entryA = tables_.entry[indexA], entryB = tables_.entry[indexB];
      Info infoA = tables_.info[indexA], infoB = tables_.info[indexB];
      bool longCode = false;
      for (;;) {
        ORV_UNROLL_BLOCK
        for (int k = 0; k < 4; ++k) {
          if ((int(InfoCount(infoA) == 0) | int(InfoCount(infoB) == 0)) != 0) [[unlikely]] {  // one test, no branch
            longCode = true;
            break;
          }
          Step(bufA, countA, outA, entryA, infoA);
          Step(bufB, countB, outB, entryB, infoB);
        }
        countA &= 63;
        countB &= 63;
        if (longCode || a.bits.end - inA < 8 || b.bits.end - inB < 8 || a.outEnd - outA < kRoom ||
            b.outEnd - outB < kRoom || uint64_t(inA - base_) * 8 - countA + 48 >= limitBit)
          break;
        bufA |= LoadBE64(inA) >> countA;
        inA += (63 - countA) >> 3;
        countA |= 56;
        bufB |= LoadBE64(inB) >> countB;
        inB += (63 - countB) >> 3;
        countB |= 56;
      }
      a.bits.buf = bufA;
      a.bits.count = countA;
      a.bits.in = inA;
      a.out = outA;
      b.bits.buf = bufB;
      b.bits.count = countB;
      b.bits.in = inB;
      b.out = outB;
      if (longCode && InfoCount(infoA) == 0) *a.out++ = FinishLongCode(a.bits, tree_, entryA);
      if (longCode && InfoCount(infoB) == 0) *b.out++ = FinishLongCode(b.bits, tree_, entryB);
    }
  }

  // One lookup with every check, writing no more than the room left.
  void StepCarefully(Lane& lane) const {
    BitStream& s = lane.bits;
    if (s.count < kTableBits) s.RefillSafe();
    if (s.Exhausted()) {
      // Only zero bits remain: every further code is the all-left path to the same leaf.
      int value = tree_.root;
      while (value >= kArc1FirstNode) value = tree_.left[value];
      std::memset(lane.out, value, size_t(lane.outEnd - lane.out));
      lane.out = lane.outEnd;
      return;
    }
    const uint64_t index = s.buf >> (64 - kTableBits);
    const Entry entry = tables_.entry[index];
    const Info info = tables_.info[index];
    if (InfoCount(info) == 0) {
      *lane.out++ = FinishLongCode(s, tree_, entry);
      return;
    }
    s.Skip(InfoBits(info));
    const uint32_t count = std::min<uint32_t>(InfoCount(info), uint32_t(lane.outEnd - lane.out));
    for (uint32_t i = 0; i < count; ++i) *lane.out++ = uint8_t(entry >> (kBytesShift + 8 * i));
  }

  void RunTail(Lane& lane) const {
    while (lane.out < lane.outEnd) StepCarefully(lane);
  }

  // Codes cannot be decoded from the middle of the stream without knowing where a code
  // starts, but Huffman codes resynchronise: a second lane started at an arbitrary bit in
  // the middle soon falls in step with the true code boundaries. It decodes the second half
  // into a scratch buffer, noting the bit position and output offset of its first lookups.
  // When the first lane arrives there and starts a lookup at one of those positions, the
  // second lane's bytes from that point on are exactly its own: they are copied into place
  // and the first lane carries on from where the second one stopped. Should the lanes never
  // meet, the first lane simply decodes the rest itself.
  void DecodeInTwoLanes(Lane& a) const {
    if (!a.bits.CanRefillFast()) return;  // (positions are exact only before the end)
    const uint64_t startBit = a.bits.BitPos(base_);
    const uint64_t endBit = uint64_t(a.bits.end - base_) * 8;
    const uint64_t splitBit = startBit + (endBit - startBit) / 2;

    const size_t scratchSize = size_t(std::min<uint64_t>(uint64_t(a.outEnd - a.out), endBit - splitBit)) + kRoom;
    std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[scratchSize]);
    if (!scratch) return;
    Lane b{{base_ + splitBit / 8, a.bits.end}, scratch.get(), scratch.get() + scratchSize};
    b.bits.RefillSafe();
    b.bits.Skip(unsigned(splitBit % 8));

    struct Checkpoint {
      uint64_t bit;
      size_t offset;
    };
    Checkpoint checkpoints[kCheckpoints];
    int recorded = 0;
    while (recorded < kCheckpoints && CanRunBlock(b)) {
      if (b.bits.count < kTableBits) b.bits.RefillFast();
      checkpoints[recorded++] = {b.bits.BitPos(base_), size_t(b.out - scratch.get())};
      StepCarefully(b);
    }
    if (recorded == 0) return;

    const uint64_t meetingBit = checkpoints[0].bit;
    RunBlocksInPairs(a, meetingBit, b);
    RunBlocks(a, meetingBit);

    for (int next = 0; a.out < a.outEnd && a.bits.in < a.bits.end;) {
      const uint64_t bit = a.bits.BitPos(base_);
      while (next < recorded && checkpoints[next].bit < bit) ++next;
      if (next == recorded) return;
      if (checkpoints[next].bit == bit) {
        const uint8_t* from = scratch.get() + checkpoints[next].offset;
        const size_t length = std::min<size_t>(size_t(b.out - from), size_t(a.outEnd - a.out));
        std::memcpy(a.out, from, length);
        a.out += length;
        a.bits = b.bits;
        return;
      }
      StepCarefully(a);
    }
  }

  const Arc1Tree& tree_;
  const DecodeTables<Entry>& tables_;
  const uint8_t* base_;
};

}  // namespace

Result<void> DecodeArc1Into(ByteSpan payload, std::span<uint8_t> out, const Arc1FastOptions& options) {
  Arc1Tree tree;
  TreeBitReader treeBits{payload};
  tree.root = ReadTree(treeBits, tree);
  if (tree.tooLarge) return Arc1TreeError();
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
  Lane lane{stream, out.data(), out.data() + out.size()};
  auto decode = [&](auto& tables) {
    BuildTables(single, tables);
    using Entry = std::remove_reference_t<decltype(tables.entry[0])>;
    CodeDecoder<Entry>(tree, tables, payload.data()).Decode(lane, options);
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

Result<Bytes> DecodeArc1FileFast(ByteSpan fileBytes, size_t count) {
  const auto parts = SplitArc1File(fileBytes);
  if (!parts) return Bytes();
  // Checked before the output is allocated: the size comes straight from the file.
  if (parts->unpackedSize > kArc1MaxUnpackedBytes) return Arc1SizeError();
  Bytes output(std::min<size_t>(parts->unpackedSize, count));
  if (Result<void> decoded = DecodeArc1Into(parts->payload, output); !decoded) return decoded.error();
  return output;
}

}  // namespace orv
