#include "graphics/arc1_encoder.h"

#include <array>
#include <cstring>
#include <queue>
#include <vector>

namespace orv {

namespace {

// A node of the code tree under construction; leaves are the byte values 0..255, internal
// nodes are numbered from 256 on in the order they are made.
struct HuffmanTree {
  std::vector<int> left, right;  // indexed by node - 256
  int root = 0;
};

HuffmanTree BuildHuffmanTree(const std::array<uint64_t, 256>& frequency) {
  // Min-heap on (weight, node); the node number breaks ties so the tree is reproducible.
  using Item = std::pair<uint64_t, int>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> heap;
  for (int value = 0; value < 256; ++value)
    if (frequency[value] != 0) heap.push({frequency[value], value});

  HuffmanTree tree;
  if (heap.empty()) return tree;  // lone leaf 0
  while (heap.size() > 1) {
    const Item a = heap.top();
    heap.pop();
    const Item b = heap.top();
    heap.pop();
    const int node = kArc1FirstNode + int(tree.left.size());
    tree.left.push_back(a.second);
    tree.right.push_back(b.second);
    heap.push({a.first + b.first, node});
  }
  tree.root = heap.top().second;
  return tree;
}

class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : out_(out) {}
  // Appends the low `length` bits of `value` (length <= 32), most significant first.
  void Put(uint32_t value, int length) {
    acc_ = acc_ << length | (length == 0 ? 0 : value & (0xFFFFFFFFu >> (32 - length)));
    pending_ += length;
    while (pending_ >= 8) {
      pending_ -= 8;
      out_.push_back(uint8_t(acc_ >> pending_));
    }
  }
  void PutLong(uint64_t value, int length) {
    if (length > 32) Put(uint32_t(value >> 32), length - 32);
    Put(uint32_t(value), length > 32 ? 32 : length);
  }
  // Pads the last byte with zero bits.
  void Flush() {
    if (pending_ > 0) Put(0, 8 - pending_);
  }

 private:
  Bytes& out_;
  uint64_t acc_ = 0;
  int pending_ = 0;
};

struct Code {
  uint64_t bits = 0;
  int length = 0;
};

// Writes the tree in pre-order (1 = internal, then left and right; 0 = leaf and its 8 bits)
// and records each leaf's code on the way: 0 for a left branch, 1 for a right one.
void WriteTree(const HuffmanTree& tree, int node, Code path, BitWriter& writer, std::array<Code, 256>& codes) {
  if (node < kArc1FirstNode) {
    writer.Put(0, 1);
    writer.Put(uint32_t(node), 8);
    codes[node] = path;
    return;
  }
  writer.Put(1, 1);
  const size_t index = size_t(node - kArc1FirstNode);
  WriteTree(tree, tree.left[index], {path.bits << 1, path.length + 1}, writer, codes);
  WriteTree(tree, tree.right[index], {path.bits << 1 | 1, path.length + 1}, writer, codes);
}

}  // namespace

Result<Bytes> EncodeArc1File(ByteSpan data) {
  if (data.size() > kArc1MaxUnpackedBytes) return Arc1SizeError();

  std::array<uint64_t, 256> frequency{};
  for (const uint8_t byte : data) ++frequency[byte];
  const HuffmanTree tree = BuildHuffmanTree(frequency);

  Bytes file(kArc1HeaderBytes);
  std::memcpy(file.data(), "ARC1", 4);
  PutU32LE(file.data() + 4, uint32_t(data.size()));

  // Code lengths stay far below 64: a code of length n needs a total count of at least the
  // (n+1)-th Fibonacci number, and the data is capped below 2^27 bytes.
  std::array<Code, 256> codes{};
  BitWriter writer(file);
  WriteTree(tree, tree.root, {}, writer, codes);
  for (const uint8_t byte : data) writer.PutLong(codes[byte].bits, codes[byte].length);
  writer.Flush();
  return file;
}

}  // namespace orv
