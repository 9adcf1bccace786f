#include "persist/scene_state.h"

#include <cstring>

namespace orv {
namespace {

template <typename T>
constexpr size_t FieldBytes() {
  if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>) return 4;
  else return T::kCapacity;
}

struct Writer {
  uint8_t* out;
  void operator()(std::string_view, size_t at, int32_t v) const { PutI32LE(out + at, v); }
  void operator()(std::string_view, size_t at, uint32_t v) const { PutU32LE(out + at, v); }
  void operator()(std::string_view, size_t at, uint8_t v) const { out[at] = v; }
  template <size_t N>
  void operator()(std::string_view, size_t at, const std::array<uint8_t, N>& v) const {
    std::memcpy(out + at, v.data(), N);
  }
  template <size_t N>
  void operator()(std::string_view, size_t at, const FixedText<N>& v) const {
    std::memcpy(out + at, v.raw().data(), N);
  }
  template <typename T, size_t N>
  void operator()(std::string_view name, size_t at, const std::array<T, N>& v) const {
    for (size_t i = 0; i < N; ++i) (*this)(name, at + i * FieldBytes<T>(), v[i]);
  }
};

// A short record leaves the fields it does not reach as they were.
struct Reader {
  ByteSpan in;
  bool Has(size_t at, size_t n) const { return at + n <= in.size(); }
  void operator()(std::string_view, size_t at, int32_t& v) const {
    if (Has(at, 4)) v = GetI32LE(in.data() + at);
  }
  void operator()(std::string_view, size_t at, uint32_t& v) const {
    if (Has(at, 4)) v = GetU32LE(in.data() + at);
  }
  void operator()(std::string_view, size_t at, uint8_t& v) const {
    if (Has(at, 1)) v = in[at];
  }
  template <size_t N>
  void operator()(std::string_view, size_t at, std::array<uint8_t, N>& v) const {
    if (Has(at, N)) std::memcpy(v.data(), in.data() + at, N);
  }
  template <size_t N>
  void operator()(std::string_view, size_t at, FixedText<N>& v) const {
    if (Has(at, N)) std::memcpy(v.raw().data(), in.data() + at, N);
  }
  template <typename T, size_t N>
  void operator()(std::string_view name, size_t at, std::array<T, N>& v) const {
    for (size_t i = 0; i < N; ++i) (*this)(name, at + i * FieldBytes<T>(), v[i]);
  }
};

}  // namespace

std::array<uint8_t, kSceneStateBytes> SerializeSceneState(const SceneState& s) {
  std::array<uint8_t, kSceneStateBytes> out{};
  VisitSceneState(s, Writer{out.data()});
  return out;
}

void DeserializeSceneState(ByteSpan bytes, SceneState& into) { VisitSceneState(into, Reader{bytes}); }

}  // namespace orv
