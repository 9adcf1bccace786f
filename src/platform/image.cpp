#include "platform/image.h"

#include <algorithm>
#include <cstring>

namespace orv {

Image::Image(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return;
  width_ = width;
  height_ = height;
  pixels_.assign(size_t(width) * size_t(height) * 3, 0);
}

Image Image::ForOverwrite(int width, int height) {
  Image image;
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) return image;
  image.width_ = width;
  image.height_ = height;
  image.pixels_.resize(size_t(width) * size_t(height) * 3);
  image.black_ = false;
  return image;
}

Rgb Image::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const uint8_t* p = row(y) + size_t(x) * 3;
  return Rgb{p[2], p[1], p[0]};
}

void Image::SetPixel(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* p = row(y) + size_t(x) * 3;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

void Image::Fill(Rgb c) { FillRect(bounds(), c); }

void Image::FillRect(Rect r, Rgb c) {
  r = ClipRect(r, *this);
  if (r.Empty()) return;
  const bool black = c == Rgb{};
  if (black && black_) return;
  const size_t bytes = size_t(r.Width()) * 3;
  // Layers are cleared to black over and over: a grey is one byte repeated, and rows that
  // span the whole image lie end to end.
  if (c.r == c.g && c.g == c.b) {
    if (bytes == stride()) {
      std::memset(row(r.top), c.r, bytes * size_t(r.Height()));
      black_ = black && r.Height() == height_;
      return;
    }
    for (int y = r.top; y < r.bottom; ++y) std::memset(row(y) + size_t(r.left) * 3, c.r, bytes);
    return;
  }
  uint8_t* first = row(r.top) + size_t(r.left) * 3;
  for (size_t i = 0; i < bytes; i += 3) {
    first[i] = c.b;
    first[i + 1] = c.g;
    first[i + 2] = c.r;
  }
  for (int y = r.top + 1; y < r.bottom; ++y) std::memcpy(row(y) + size_t(r.left) * 3, first, bytes);
}

Rect ClipRect(Rect r, const Image& image) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, image.width());
  r.bottom = std::min(r.bottom, image.height());
  return r;
}

namespace {
constexpr int kNarrowCopyPixels = 4;

// Clips a copy of srcRect to (dx, dy) against both images; false when nothing remains.
bool ClipCopy(const Image& dst, int& dx, int& dy, const Image& src, Rect& s) {
  if (s.left < 0) { dx -= s.left; s.left = 0; }
  if (s.top < 0) { dy -= s.top; s.top = 0; }
  s.right = std::min(s.right, src.width());
  s.bottom = std::min(s.bottom, src.height());
  if (dx < 0) { s.left -= dx; dx = 0; }
  if (dy < 0) { s.top -= dy; dy = 0; }
  s.right = std::min(s.right, s.left + (dst.width() - dx));
  s.bottom = std::min(s.bottom, s.top + (dst.height() - dy));
  return !s.Empty();
}
}  // namespace

void CopyRect(Image& dst, int dx, int dy, const Image& src, Rect s) {
  if (!ClipCopy(dst, dx, dy, src, s)) return;
  const size_t bytes = size_t(s.Width()) * 3;
  // Only a copy within one image may overlap: moving down, it takes the rows from the bottom
  // up, so that none is overwritten before it is read. Whole stages are copied several times
  // a frame: whole rows lie end to end and go in one piece, and between two images a plain
  // copy is the faster one.
  const bool sameImage = &dst == &src;
  if (bytes == dst.stride() && bytes == src.stride()) {
    const size_t total = bytes * size_t(s.Height());
    if (sameImage)
      std::memmove(dst.row(dy), src.row(s.top), total);
    else
      std::memcpy(dst.row(dy), src.row(s.top), total);
    return;
  }
  if (!sameImage && s.Width() <= kNarrowCopyPixels) {
    // Transitions copy columns one or two pixels wide, row by row, hundreds of times a step:
    // a call per row would cost more than its bytes.
    const size_t height = size_t(s.Height()), dstStride = dst.stride(), srcStride = src.stride();
    uint8_t* const to = dst.bytes().data() + size_t(dy) * dstStride + size_t(dx) * 3;
    const uint8_t* const from = src.bytes().data() + size_t(s.top) * srcStride + size_t(s.left) * 3;
    for (size_t y = 0; y < height; ++y)
      for (size_t b = 0; b < bytes; b += 3) {
        to[y * dstStride + b] = from[y * srcStride + b];
        to[y * dstStride + b + 1] = from[y * srcStride + b + 1];
        to[y * dstStride + b + 2] = from[y * srcStride + b + 2];
      }
    return;
  }
  const bool upwards = sameImage && dy > s.top;
  for (int i = 0; i < s.Height(); ++i) {
    const int y = upwards ? s.Height() - 1 - i : i;
    uint8_t* to = dst.row(dy + y) + size_t(dx) * 3;
    const uint8_t* from = src.row(s.top + y) + size_t(s.left) * 3;
    if (sameImage)
      std::memmove(to, from, bytes);
    else
      std::memcpy(to, from, bytes);
  }
}

void DrawTransparent(Image& dst, int dx, int dy, const Image& src, Rgb key) {
  Rect s = src.bounds();
  if (!ClipCopy(dst, dx, dy, src, s)) return;
  for (int y = 0; y < s.Height(); ++y) {
    const uint8_t* in = src.row(s.top + y) + size_t(s.left) * 3;
    uint8_t* out = dst.row(dy + y) + size_t(dx) * 3;
    for (int x = 0; x < s.Width(); ++x, in += 3, out += 3) {
      if (in[0] == key.b && in[1] == key.g && in[2] == key.r) continue;
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
}

}  // namespace orv
