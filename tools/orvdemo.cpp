// orvdemo: builds the bundled demo game from its sources.
//   orvdemo SOURCE_DIR OUT_DIR
// The sources are UTF-8 text with LF line ends, as they are pleasant to edit; a game holds
// Shift-JIS with CR LF. Scenario members are packed, inverted, into the scenario package, and
// every picture, sound and piece of music the demo uses is made here by our own generators.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/game_folder.h"
#include "platform/image.h"
#include "platform/image_files.h"
#include "platform/sjis.h"
#include "graphics/arc1_encoder.h"
#include "graphics/jpeg_encoder.h"
#include "script/package_file.h"
#include "sound/smf_writer.h"
#include "tool_info.h"

namespace fs = std::filesystem;
using namespace orv;

namespace {

bool ReadText(const fs::path& file, std::string& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  out = buffer.str();
  return true;
}

// UTF-8 with LF ends to Shift-JIS with CR LF ends.
Bytes ToGameText(const std::string& utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '\r') continue;
    if (c == '\n') text += "\r\n";
    else text += c;
  }
  std::string sjis = Utf8ToCp932(text);
  return Bytes(sjis.begin(), sjis.end());
}

bool Write(const fs::path& file, const Bytes& bytes) {
  if (WriteFileAtomically(file, bytes)) return true;
  std::fprintf(stderr, "orvdemo: cannot write %s\n", file.c_str());
  return false;
}

// The wait indicators: a small downward triangle (line end) and a square (page end) on a
// magenta background, which the player leaves out because it is the bottom-left colour.
Image WaitIcon(bool page) {
  const Rgb key{255, 0, 255}, fill{255, 240, 180}, edge{200, 140, 40};
  Image icon(16, 16);
  icon.Fill(key);
  for (int y = 2; y < 14; ++y) {
    for (int x = 2; x < 14; ++x) {
      bool inside = page ? true : (x - 2 >= (y - 2) / 2 && 13 - x >= (y - 2) / 2);
      if (!inside) continue;
      bool border = page ? (x == 2 || x == 13 || y == 2 || y == 13) : (y == 2);
      icon.SetPixel(x, y, border ? edge : fill);
    }
  }
  return icon;
}

bool BuildScenarioPackage(const fs::path& source, const fs::path& out) {
  std::string list;
  if (!ReadText(source / "scenario" / "members.txt", list)) {
    std::fprintf(stderr, "orvdemo: missing %s\n", (source / "scenario" / "members.txt").c_str());
    return false;
  }
  std::vector<PackageMember> members;
  std::istringstream names(list);
  for (std::string name; std::getline(names, name);) {
    if (name.empty()) continue;
    std::string text;
    if (!ReadText(source / "scenario" / name, text)) {
      std::fprintf(stderr, "orvdemo: missing scenario %s\n", name.c_str());
      return false;
    }
    Bytes bytes = ToGameText(text);
    InvertBytes(bytes);
    members.push_back({name, std::move(bytes)});
  }
  return Write(out / "scenario.dat", BuildPackage(members));
}


// --- pictures -------------------------------------------------------------------------------

// A small deterministic generator, so the demo is the same on every build.
struct Noise {
  uint32_t state = 12345;
  int Next(int range) {
    state = state * 1103515245u + 12345u;
    return int((state >> 16) % uint32_t(range));
  }
};

uint8_t Mix(int a, int b, double t) { return uint8_t(std::clamp(a + (b - a) * t, 0.0, 255.0)); }

Image SkyBackground() {
  Image image(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      double t = y / 479.0;
      Rgb c{Mix(90, 250, t), Mix(150, 220, t), Mix(230, 200, t)};
      double sun = std::hypot(x - 500, y - 110);
      if (sun < 40) c = Rgb{255, 245, 200};
      double hill1 = 330 + 30 * std::sin(x / 70.0), hill2 = 370 + 25 * std::sin(x / 45.0 + 1.3);
      if (y > hill1) c = Rgb{Mix(110, 60, (y - hill1) / 150.0), Mix(170, 120, (y - hill1) / 150.0), 80};
      if (y > hill2) c = Rgb{70, Mix(140, 90, (y - hill2) / 110.0), 60};
      image.SetPixel(x, y, c);
    }
  }
  return image;
}

Image RoomBackground() {
  Noise noise;
  Image image(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      double t = y / 479.0;
      int grain = noise.Next(17) - 8;
      Rgb c{uint8_t(std::clamp(int(Mix(200, 120, t)) + grain, 0, 255)),
            uint8_t(std::clamp(int(Mix(170, 90, t)) + grain, 0, 255)),
            uint8_t(std::clamp(int(Mix(130, 60, t)) + grain, 0, 255))};
      if (x > 380 && x < 560 && y > 60 && y < 240) {
        bool frame = x < 390 || x > 550 || y < 70 || y > 230 || std::abs(x - 470) < 5 || std::abs(y - 150) < 5;
        c = frame ? Rgb{90, 60, 40} : Rgb{Mix(150, 230, (y - 60) / 180.0), 200, 240};
      }
      if (y > 400) c = Rgb{uint8_t(110 + grain), uint8_t(70 + grain), uint8_t(40 + grain)};
      image.SetPixel(x, y, c);
    }
  }
  return image;
}

Image NightBackground() {
  Noise noise;
  Image image(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) image.SetPixel(x, y, Rgb{Mix(10, 40, y / 479.0), Mix(15, 30, y / 479.0), Mix(50, 90, y / 479.0)});
  for (int i = 0; i < 120; ++i) image.SetPixel(noise.Next(640), noise.Next(300), Rgb{255, 255, 230});
  for (int y = 40; y < 140; ++y)
    for (int x = 80; x < 180; ++x)
      if (std::hypot(x - 130, y - 90) < 45 && std::hypot(x - 150, y - 80) > 40) image.SetPixel(x, y, Rgb{250, 240, 190});
  for (int x = 0; x < 640; ++x)
    for (int y = 380 + int(20 * std::sin(x / 90.0)); y < 480; ++y) image.SetPixel(x, y, Rgb{5, 10, 20});
  return image;
}

// A figure: head and shoulders. `inside` tells whether a pixel belongs to it, `shade` its
// softness at the edge (0 outside, 1 well inside).
double FigureShade(int x, int y, int w, int h) {
  double head = (38 - std::hypot(x - w / 2.0, y - 80.0)) / 4.0;
  double bodyHalf = 30 + (y - 130) * 0.45;
  double body = y > 125 ? std::min((bodyHalf - std::abs(x - w / 2.0)) / 4.0, (h - 1 - y) / 4.0) : -1;
  return std::clamp(std::max(head, body), 0.0, 1.0);
}

Rgb FigureColor(int x, int y, int w, Rgb clothes) {
  if (y < 120) return std::hypot(x - w / 2.0, y - 62.0) < 30 && y < 70 ? Rgb{60, 40, 30} : Rgb{250, 215, 190};
  return clothes;
}

// Opaque: the figure on a framed backdrop of its own.
Image OpaqueCharacter() {
  const int w = 200, h = 300;
  Image image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bool frame = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
      Rgb back = frame ? Rgb{120, 90, 40} : Rgb{Mix(230, 180, y / 299.0), 220, 200};
      image.SetPixel(x, y, FigureShade(x, y, w, h) > 0.5 ? FigureColor(x, y, w, Rgb{200, 60, 60}) : back);
    }
  return image;
}

// Colour-keyed: magenta (the top-left pixel's colour) is see-through.
Image KeyedCharacter() {
  const int w = 200, h = 300;
  Image image(w, h);
  image.Fill(Rgb{255, 0, 255});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (FigureShade(x, y, w, h) > 0.5) image.SetPixel(x, y, FigureColor(x, y, w, Rgb{60, 90, 200}));
  return image;
}

// Masked: the picture on the left half, its mask on the right (black opaque, white clear,
// greys blend), so the figure's edge is soft.
Image MaskedCharacter() {
  const int w = 200, h = 300;
  Image image(2 * w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double shade = FigureShade(x, y, w, h);
      image.SetPixel(x, y, FigureColor(x, y, w, Rgb{60, 160, 90}));
      uint8_t m = uint8_t(255 - std::lround(shade * 255));
      image.SetPixel(w + x, y, Rgb{m, m, m});
    }
  return image;
}

// Demo pictures are 640 x 480 at most, far below the limit.
Bytes EncodeArc1(const Image& image) { return EncodeArc1File(EncodeBmp24(image)).value(); }

// Picture-choice buttons: a rounded plate with a sun or a moon on it, on magenta (the
// bottom-left pixel's colour, which a transparent entry leaves out). The hover picture is
// lighter with a bright rim; the pressed one is darker. All three have the same shape, since
// the pressed picture is drawn over the hover one.
enum class ButtonState { Normal, Hover, Pressed };

Image ChoiceButton(bool sun, ButtonState state) {
  const int w = 160, h = 64, radius = 14;
  const Rgb key{255, 0, 255};
  const Rgb plate = state == ButtonState::Hover     ? Rgb{90, 130, 220}
                    : state == ButtonState::Pressed ? Rgb{30, 50, 110}
                                                    : Rgb{50, 80, 160};
  const Rgb rim = state == ButtonState::Hover ? Rgb{255, 240, 160} : Rgb{20, 30, 70};
  const Rgb sign = sun ? Rgb{255, 200, 60} : Rgb{235, 235, 200};
  Image image(w, h);
  image.Fill(key);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // How far the pixel lies beyond the plate's straight edges: only corners are cut.
      const int dx = std::max({radius - x, x - (w - 1 - radius), 0});
      const int dy = std::max({radius - y, y - (h - 1 - radius), 0});
      const double outside = std::hypot(dx, dy);
      if (outside > radius) continue;
      Rgb c = outside > radius - 3 ? rim : plate;
      const double cx = w / 2.0, cy = h / 2.0;
      const double d = std::hypot(x - cx, y - cy);
      if (sun) {
        const double angle = std::atan2(y - cy, x - cx);
        if (d < 13 || (d < 22 && std::cos(angle * 8) > 0.6)) c = sign;
      } else if (d < 17 && std::hypot(x - cx - 8, y - cy + 4) > 14) {
        c = sign;
      }
      image.SetPixel(x, y, c);
    }
  }
  return image;
}

// --- sound ------------------------------------------------------------------------------------

// The theme: a gentle melody over a bass line, four bars that loop, with the tempo set at
// tick 0 so every repeat starts at the same speed.
Bytes ThemeSong() {
  const uint16_t division = 96;
  SmfTrack conductor, melody, bass;
  conductor.Tempo(0, 600000);
  conductor.Marker(0, "theme");
  melody.Program(0, 0, 73);  // flute
  melody.Controller(0, 0, 7, 100);
  melody.Controller(0, 0, 91, 60);
  bass.Program(0, 1, 32);  // acoustic bass
  bass.Controller(0, 1, 7, 90);
  const int tune[] = {72, 74, 76, 79, 76, 74, 72, 67, 69, 72, 74, 76, 74, 72, 71, 72};
  for (int i = 0; i < 16; ++i) melody.Note(uint32_t(i * division), division - 8, 0, uint8_t(tune[i]), 90);
  const int roots[] = {48, 45, 41, 43};
  for (int bar = 0; bar < 4; ++bar)
    for (int beat = 0; beat < 4; ++beat)
      bass.Note(uint32_t((bar * 4 + beat) * division), division - 10, 1, uint8_t(roots[bar] + (beat % 2 ? 7 : 0)), 80);
  return BuildSmf({conductor, melody, bass}, division);
}

std::vector<int16_t> Tone(double seconds, uint32_t rate, const std::vector<double>& freqs, double decay) {
  std::vector<int16_t> samples(size_t(seconds * rate));
  for (size_t i = 0; i < samples.size(); ++i) {
    double t = double(i) / rate, v = 0;
    for (double f : freqs) v += std::sin(2 * M_PI * f * t);
    double envelope = std::exp(-decay * t) * std::min(1.0, t * 200);
    samples[i] = int16_t(std::lround(8000 * envelope * v / double(freqs.size())));
  }
  return samples;
}

std::vector<int16_t> Rain(double seconds, uint32_t rate) {
  Noise noise;
  std::vector<int16_t> samples(size_t(seconds * rate));
  double low = 0;
  for (auto& s : samples) {
    low = low * 0.7 + (noise.Next(2001) - 1000) * 0.3;
    s = int16_t(low * 3);
  }
  return samples;
}

bool BuildMedia(const fs::path& out) {
  bool ok = Write(out / "pictures.dat",
                  BuildPackage({{"bg_sky.bmp", EncodeBmp24(SkyBackground())},
                                {"bg_room.jpg", EncodeJpeg(RoomBackground(), 88)},
                                {"chara_a.bmp", EncodeBmp24(OpaqueCharacter())},
                                {"chara_mask.pic", EncodeArc1(MaskedCharacter())},
                                {"btn_sun.bmp", EncodeBmp24(ChoiceButton(true, ButtonState::Normal))},
                                {"btn_sun_on.bmp", EncodeBmp24(ChoiceButton(true, ButtonState::Hover))},
                                {"btn_sun_hit.bmp", EncodeBmp24(ChoiceButton(true, ButtonState::Pressed))},
                                {"btn_moon.bmp", EncodeBmp24(ChoiceButton(false, ButtonState::Normal))},
                                {"btn_moon_on.bmp", EncodeBmp24(ChoiceButton(false, ButtonState::Hover))},
                                {"btn_moon_hit.bmp", EncodeBmp24(ChoiceButton(false, ButtonState::Pressed))}}));
  ok = ok && Write(out / "bg_night.ccg", EncodeArc1(NightBackground()));
  ok = ok && Write(out / "chara_key.bmp", EncodeBmp24(KeyedCharacter()));
  ok = ok && Write(out / "music.dat", BuildPackage({{"theme.mid", ThemeSong()}}));
  const uint32_t rate = 22050;
  ok = ok && Write(out / "waves.dat",
                   BuildPackage({{"chime.wav", BuildPcmWave(Tone(1.2, rate, {880, 1320, 1760}, 3.5), rate, 1)},
                                 {"rain.wav", BuildPcmWave(Rain(2.0, rate), rate, 1)}}));
  std::error_code ec;
  fs::create_directories(out / "cd", ec);
  ok = ok && Write(out / "cd" / "track02.wav", BuildPcmWave(Tone(6.0, 44100, {220, 277.2, 329.6, 440}, 0.4), 44100, 1));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: orvdemo SOURCE_DIR OUT_DIR\n";
  if (const auto answered = AnswerHelpOrVersion(argc, argv, "orvdemo", kUsage)) return *answered;
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const fs::path source = argv[1], out = argv[2];
  std::error_code ec;
  fs::create_directories(out, ec);
  std::string initDef;
  if (!ReadText(source / "init.def", initDef)) {
    std::fprintf(stderr, "orvdemo: missing %s\n", (source / "init.def").c_str());
    return 1;
  }
  bool ok = Write(out / "init.def", ToGameText(initDef));
  ok = ok && BuildScenarioPackage(source, out);
  ok = ok && Write(out / "icon1.bmp", EncodeBmp24(WaitIcon(false)));
  ok = ok && Write(out / "icon2.bmp", EncodeBmp24(WaitIcon(true)));
  ok = ok && BuildMedia(out);
  return ok ? 0 : 1;
}
