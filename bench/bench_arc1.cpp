// ARC1 decoding speed on three generated 640 x 480 24-bit BMP pictures, against the
// bit-by-bit decoder and against Huffman-only deflate streams of the same BMP decoded by
// zlib and libdeflate. Every decoder writes into a buffer allocated once, except "file",
// which is DecodeArc1File end to end (header checks and the output allocation included).
// "fast_one_lane" shows the fast decoder without its second lane.
// A summary of speed ratios measured in this run is printed at the end.
//
//   bench_arc1 [--write_pictures=DIR] [--benchmark_repetitions=N] [--benchmark_filter=...]
// --write_pictures saves the three pictures as DIR/<name>.bmp (to try them with orvarc1).
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "graphics/arc1.h"
#include "graphics/arc1_encoder.h"
#include "graphics/arc1_fast.h"
#include "platform/game_folder.h"

#ifdef ORVANE_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace {

using orv::Bytes;

constexpr int kWidth = 640, kHeight = 480;

struct Rgb {
  double r, g, b;
};

uint8_t Clamp(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

// A 24-bit bottom-up BMP whose pixel (x, y), y = 0 at the top, comes from `shade`.
Bytes MakeBmp(const std::function<Rgb(int x, int y)>& shade) {
  const uint32_t pixelBytes = kWidth * 3 * kHeight;
  Bytes bmp(54 + pixelBytes, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  orv::PutU32LE(&bmp[2], uint32_t(bmp.size()));
  orv::PutU32LE(&bmp[10], 54);
  orv::PutU32LE(&bmp[14], 40);
  orv::PutU32LE(&bmp[18], kWidth);
  orv::PutU32LE(&bmp[22], kHeight);
  bmp[26] = 1;
  bmp[28] = 24;
  orv::PutU32LE(&bmp[34], pixelBytes);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = shade(x, y);
      uint8_t* p = &bmp[54 + size_t(kHeight - 1 - y) * kWidth * 3 + size_t(x) * 3];
      p[0] = Clamp(c.b);
      p[1] = Clamp(c.g);
      p[2] = Clamp(c.r);
    }
  return bmp;
}

struct SoftShape {
  double cx, cy, rx, ry;
  Rgb colour;
};

// A painted background: a sky-to-ground gradient with soft-edged shapes laid over it.
Bytes PaintedPicture() {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<SoftShape> shapes;
  for (int i = 0; i < 14; ++i)
    shapes.push_back({unit(random) * kWidth, unit(random) * kHeight, 40 + unit(random) * 160, 30 + unit(random) * 120,
                      {unit(random) * 255, unit(random) * 255, unit(random) * 255}});
  return MakeBmp([&](int x, int y) {
    const double t = double(y) / kHeight;
    Rgb c{90 + 120 * t, 140 + 60 * t - 0.05 * x, 230 - 150 * t};
    for (const auto& s : shapes) {
      const double dx = (x - s.cx) / s.rx, dy = (y - s.cy) / s.ry;
      const double a = std::clamp(1.4 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0) * 0.7;
      c = {c.r + (s.colour.r - c.r) * a, c.g + (s.colour.g - c.g) * a, c.b + (s.colour.b - c.b) * a};
    }
    return c;
  });
}

// A photo: gradients under sensor-like noise.
Bytes PhotoPicture() {
  std::mt19937 random(11);
  std::normal_distribution<double> noise(0, 9);
  return MakeBmp([&](int x, int y) {
    const double base = 60 + 0.2 * x + 0.15 * y + 25 * std::sin(x * 0.02) * std::cos(y * 0.03);
    return Rgb{base + 20 + noise(random), base + noise(random), base - 30 + noise(random)};
  });
}

// A menu screen: a flat backdrop, flat buttons with one-pixel borders, a title bar.
Bytes MenuPicture() {
  const Rgb backdrop{24, 32, 72}, button{200, 200, 210}, border{255, 255, 255}, title{150, 30, 40}, shadow{8, 8, 24};
  return MakeBmp([&](int x, int y) {
    if (y < 60) return title;
    for (int i = 0; i < 5; ++i) {
      const int top = 120 + i * 64, left = 200, right = 440, bottom = top + 44;
      if (x >= left && x < right && y >= top && y < bottom)
        return (x == left || x == right - 1 || y == top || y == bottom - 1) ? border : button;
      if (x >= left + 4 && x < right + 4 && y >= bottom && y < bottom + 4) return shadow;
    }
    return backdrop;
  });
}

struct Picture {
  std::string name;
  Bytes bmp;
  Bytes arc1;   // whole ARC1 file
  Bytes zlib;   // zlib stream, Huffman-only deflate
};

Bytes HuffmanOnlyZlib(const Bytes& data) {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 9, Z_HUFFMAN_ONLY);
  Bytes out(deflateBound(&z, uLong(data.size())));
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = uInt(data.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::vector<Picture>& Pictures() {
  static std::vector<Picture> pictures = [] {
    std::vector<Picture> list;
    for (auto& [name, bmp] : std::vector<std::pair<std::string, Bytes>>{
             {"painted", PaintedPicture()}, {"photo", PhotoPicture()}, {"menu", MenuPicture()}}) {
      Picture p{name, bmp, orv::EncodeArc1File(bmp).value(), HuffmanOnlyZlib(bmp)};
      list.push_back(std::move(p));
    }
    return list;
  }();
  return pictures;
}

void Report(benchmark::State& state, const Picture& p) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.bmp.size()));
  state.counters["packed"] = double(p.arc1.size());
  state.counters["zlib_packed"] = double(p.zlib.size());
}

void FastWith(benchmark::State& state, const Picture& p, const orv::Arc1FastOptions& options) {
  Bytes out(p.bmp.size());
  const orv::ByteSpan payload = orv::ByteSpan(p.arc1).subspan(orv::kArc1HeaderBytes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::DecodeArc1Into(payload, out, options).ok());
    benchmark::ClobberMemory();
  }
  if (out != p.bmp) state.SkipWithError("fast decoder output differs");
  Report(state, p);
}

void Fast(benchmark::State& state, const Picture& p) { FastWith(state, p, {}); }
// For information: the fast decoder in one lane only.
void FastOneLane(benchmark::State& state, const Picture& p) { FastWith(state, p, {.minSplitOutput = SIZE_MAX}); }

void File(benchmark::State& state, const Picture& p) {
  for (auto _ : state) {
    orv::Result<Bytes> result = orv::DecodeArc1File(p.arc1);
    benchmark::DoNotOptimize(result->data());
  }
  Report(state, p);
}

void Reference(benchmark::State& state, const Picture& p) {
  orv::Arc1Decoder decoder;
  // The payload is copied once, outside the timing.
  if (!orv::LoadArc1File(decoder, p.arc1)) state.SkipWithError("bit-by-bit decoder refused the file");
  for (auto _ : state) {
    decoder.bitsLeft = 0;
    decoder.currentByte = 0;
    decoder.readPos = 0;
    decoder.outLen = 0;
    benchmark::DoNotOptimize(orv::DecodeArc1(decoder, uint32_t(decoder.output.size())).ok());
    benchmark::ClobberMemory();
  }
  if (decoder.output != p.bmp) state.SkipWithError("bit-by-bit decoder output differs");
  Report(state, p);
}

void Zlib(benchmark::State& state, const Picture& p) {
  Bytes out(p.bmp.size());
  z_stream z{};
  inflateInit(&z);
  for (auto _ : state) {
    inflateReset(&z);
    z.next_in = const_cast<Bytef*>(p.zlib.data());
    z.avail_in = uInt(p.zlib.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    benchmark::DoNotOptimize(inflate(&z, Z_FINISH));
    benchmark::ClobberMemory();
  }
  inflateEnd(&z);
  if (out != p.bmp) state.SkipWithError("zlib output differs");
  Report(state, p);
}

#ifdef ORVANE_HAVE_LIBDEFLATE
void Libdeflate(benchmark::State& state, const Picture& p) {
  Bytes out(p.bmp.size());
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  for (auto _ : state) {
    size_t written = 0;
    benchmark::DoNotOptimize(libdeflate_zlib_decompress(d, p.zlib.data(), p.zlib.size(), out.data(), out.size(), &written));
    benchmark::ClobberMemory();
  }
  libdeflate_free_decompressor(d);
  if (out != p.bmp) state.SkipWithError("libdeflate output differs");
  Report(state, p);
}
#endif

double Time(const orv::bench::TimeKeeper& times, const std::string& picture, const std::string& decoder) {
  return times.Time("decode/" + picture + "/" + decoder);
}

// The closing table: the fast decoder against each of the others, picture by picture.
void PrintSummary(const orv::bench::TimeKeeper& times) {
  std::printf("\nARC1 fast decoder speed-up, same run (ratio of CPU times; goals: >= 9 bit-by-bit, >= 1.5 zlib, >= 1.05 libdeflate)\n");
  std::printf("%-10s %12s %12s %12s %12s\n", "picture", "bit-by-bit", "zlib", "libdeflate", "file/bbb");
  for (const Picture& p : Pictures()) {
    const double fast = Time(times, p.name, "fast");
    auto ratio = [&](const char* other) {
      const double t = Time(times, p.name, other);
      return fast > 0 && t > 0 ? t / fast : 0.0;
    };
    const double file = Time(times, p.name, "file"), reference = Time(times, p.name, "bitbybit");
    std::printf("%-10s %12.2f %12.2f %12.2f %12.2f\n", p.name.c_str(), ratio("bitbybit"), ratio("zlib"),
                ratio("libdeflate"), file > 0 ? reference / file : 0.0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string writeFlag = "--write_pictures=";
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind(writeFlag, 0) == 0) {
      const std::string dir = argv[i] + writeFlag.size();
      for (const Picture& p : Pictures())
        if (auto written = orv::WriteFileAtomically(dir + "/" + p.name + ".bmp", p.bmp); !written)
          std::fprintf(stderr, "%s\n", written.error().message.c_str());
      std::swap(argv[i], argv[argc - 1]);
      --argc;
      --i;
    }
  auto minimum = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
  for (const Picture& p : Pictures()) {
    const std::string prefix = "decode/" + p.name + "/";
    auto add = [&](const char* decoder, void (*run)(benchmark::State&, const Picture&)) {
      benchmark::RegisterBenchmark((prefix + decoder).c_str(), run, p)
          ->Unit(benchmark::kMicrosecond)
          ->ComputeStatistics("min", minimum);
    };
    add("fast", Fast);
    add("fast_one_lane", FastOneLane);
    add("file", File);
    add("bitbybit", Reference);
    add("zlib", Zlib);
#ifdef ORVANE_HAVE_LIBDEFLATE
    add("libdeflate", Libdeflate);
#endif
  }
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter);
  benchmark::Shutdown();
  return 0;
}
