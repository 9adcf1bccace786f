#pragma once
// Software images. Every picture of the player is one of these: 24-bit, blue-green-red byte
// order, rows stored top-down and packed (stride = width * 3). Full-stage buffers that the
// game's algorithms address bottom-up convert their row numbers at the point of use.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace orv {

inline constexpr int kStageWidth = 640;
inline constexpr int kStageHeight = 480;

// A colour as scripts and records store it: 0x00BBGGRR, red in the low byte.
using ColorRef = uint32_t;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb RgbFromColorRef(ColorRef c) {
  return Rgb{uint8_t(c & 0xFF), uint8_t((c >> 8) & 0xFF), uint8_t((c >> 16) & 0xFF)};
}
inline constexpr ColorRef ColorRefFromRgb(Rgb c) { return ColorRef(c.r) | ColorRef(c.g) << 8 | ColorRef(c.b) << 16; }

// Right and bottom are exclusive.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  // The pixel (x, y) lies inside: left and top edges in, right and bottom edges out.
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Leaves new elements uninitialised where a vector would zero them: for buffers whose every
// byte is written right away, the zeroing is most of what making them costs.
template <typename T>
struct NoInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = NoInitAllocator<U>;
  };
  NoInitAllocator() = default;
  template <typename U>
  NoInitAllocator(const NoInitAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

class Image {
 public:
  Image() = default;
  Image(int width, int height);  // black; negative or absurd sizes give an empty image
  // An image whose every byte the caller writes before anything reads it (a decoder's
  // output): not cleared first. Sizes as above.
  static Image ForOverwrite(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  size_t stride() const { return size_t(width_) * 3; }
  // Writable access: from then on the image may hold anything.
  uint8_t* row(int y) {
    black_ = false;
    return pixels_.data() + size_t(y) * stride();
  }
  const uint8_t* row(int y) const { return pixels_.data() + size_t(y) * stride(); }
  std::span<uint8_t> bytes() {
    black_ = false;
    return pixels_;
  }
  std::span<const uint8_t> bytes() const { return pixels_; }
  Rect bounds() const { return Rect{0, 0, width_, height_}; }

  Rgb Pixel(int x, int y) const;  // black outside the image
  void SetPixel(int x, int y, Rgb c);  // ignored outside the image
  void Fill(Rgb c);
  void FillRect(Rect r, Rgb c);  // clipped

  friend bool operator==(const Image& a, const Image& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint8_t, NoInitAllocator<uint8_t>> pixels_;
  // No byte has been written since the image was made or filled black: filling it black again
  // has nothing to do. The player's start clears a whole stage of layers, most of them black
  // already.
  bool black_ = true;
};

// Largest picture side any decoder accepts; a 640 x 480 game has no use for more.
inline constexpr int kMaxPictureSide = 16384;

// Copies src's rectangle to dst at (dx, dy); clipped against both images.
void CopyRect(Image& dst, int dx, int dy, const Image& src, Rect srcRect);
inline void CopyImage(Image& dst, const Image& src) { CopyRect(dst, 0, 0, src, src.bounds()); }
// Copies the same rectangle from src to dst (both at the same place).
inline void CopySameRect(Image& dst, const Image& src, Rect r) { CopyRect(dst, r.left, r.top, src, r); }
// Draws src at (dx, dy), leaving out every pixel equal to key.
void DrawTransparent(Image& dst, int dx, int dy, const Image& src, Rgb key);
// The intersection of r with the image's bounds.
Rect ClipRect(Rect r, const Image& image);

}  // namespace orv
