#include "stage/stage_test_support.h"

#include <fstream>

#include "graphics/bmp_decoder.h"
#include "platform/image_files.h"
#include "platform/sjis.h"

namespace orv::test {

Image Picture(int width, int height, const std::function<Rgb(int x, int y)>& shade) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.SetPixel(x, y, shade(x, y));
  return image;
}

Image Solid(int width, int height, Rgb color) {
  Image image(width, height);
  image.Fill(color);
  return image;
}

Image OldStage() {
  return Picture(kStageWidth, kStageHeight,
                 [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), uint8_t(x * 3 + y * 7)}; });
}

Image NewStage() {
  return Picture(kStageWidth, kStageHeight, [](int x, int y) {
    return Rgb{uint8_t(255 - x), uint8_t(200 - y * 5), uint8_t(x ^ y)};
  });
}

void WritePicture(const TempDir& dir, std::string_view name, const Image& picture) {
  dir.Write(name, EncodeBmp24(picture));
}

Image ReadPicture(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeBmp(bytes).value_or(Image());
}

std::vector<Frame> ReadRecordedFrames(const std::filesystem::path& dir) {
  std::vector<Frame> frames;
  std::ifstream list(dir / "frames.txt");
  std::string name;
  uint32_t ms = 0;
  while (list >> name >> ms) frames.push_back(Frame{ReadPicture(dir / (name + ".bmp")), ms});
  return frames;
}

KeptLayers KeepLayers(const Stage& s) {
  return {s.BackgroundLayer(), s.StageLayer(), s.TintLayer(), s.ScreenLayer(), s.WindowPicture(), s.TextOnScreen()};
}

bool PutLayersBack(Stage& s, const KeptLayers& k) {
  return s.PutBackLayers(k.background, k.stage, k.tint, k.screen, k.window, k.text);
}

int DifferingPixels(const Image& a, const Image& b) {
  if (a.width() != b.width() || a.height() != b.height()) return std::max(a.width() * a.height(), 1);
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) differing += a.Pixel(x, y) != b.Pixel(x, y);
  return differing;
}

void FrameHost::Present(const Image& surface) {
  if (onPresent) onPresent(surface);
  times.push_back(clock_.NowMs());
  last = surface;
  if (keepFrames) frames.push_back(Frame{surface, clock_.NowMs()});
}

void FrameHost::ShowMessage(std::string_view text, std::string_view) { messages.push_back(Cp932ToUtf8(text)); }

}  // namespace orv::test
