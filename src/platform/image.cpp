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
  for (int y = r.top; y < r.bottom; ++y) {
    uint8_t* p = row(y) + size_t(r.left) * 3;
    for (int x = r.left; x < r.right; ++x, p += 3) {
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
}

Rect ClipRect(Rect r, const Image& image) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, image.width());
  r.bottom = std::min(r.bottom, image.height());
  return r;
}

namespace {
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
  for (int y = 0; y < s.Height(); ++y)
    std::memmove(dst.row(dy + y) + size_t(dx) * 3, src.row(s.top + y) + size_t(s.left) * 3, bytes);
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
