// Picture decoding and loading speed on 640 x 480 pictures, as ratios against copying the
// picture's 921600 bytes once (the least any hand-over of a stage picture costs), measured in
// the same run. "cached" is what recomposing the stage pays per character once the picture
// cache holds it; "load" is the uncached path (package directory, member read, decode).
//
//   bench_pictures [--benchmark_filter=...] [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include <unistd.h>

#include <cstdio>
#include <jpeglib.h>

#include "graphics/bmp_decoder.h"
#include "graphics/jpeg_decoder.h"
#include "graphics/jpeg_encoder.h"
#include "graphics/picture_cache.h"
#include "graphics/picture_loader.h"
#include "platform/game_folder.h"
#include "script/package_file.h"

namespace {

using orv::Bytes;
constexpr int kWidth = 640, kHeight = 480;

uint8_t Shade(int x, int y, int channel) { return uint8_t((x * (channel + 1) + y * (3 - channel) + (x ^ y)) & 0xFF); }

Bytes BmpHeader(int bits, uint32_t compression, uint32_t colours, size_t pixelBytes) {
  Bytes b(54 + colours * 4, 0);
  b[0] = 'B';
  b[1] = 'M';
  orv::PutU32LE(&b[10], uint32_t(b.size()));
  orv::PutU32LE(&b[14], 40);
  orv::PutU32LE(&b[18], kWidth);
  orv::PutU32LE(&b[22], kHeight);
  b[26] = 1;
  b[28] = uint8_t(bits);
  orv::PutU32LE(&b[30], compression);
  orv::PutU32LE(&b[34], uint32_t(pixelBytes));
  orv::PutU32LE(&b[46], colours);
  for (uint32_t i = 0; i < colours; ++i) b[54 + i * 4] = b[55 + i * 4] = b[56 + i * 4] = uint8_t(i);
  orv::PutU32LE(&b[2], uint32_t(b.size() + pixelBytes));
  return b;
}

const Bytes& Bmp24() {
  static const Bytes file = [] {
    Bytes b = BmpHeader(24, 0, 0, size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        for (int c = 0; c < 3; ++c) b.push_back(Shade(x, y, c));
    return b;
  }();
  return file;
}

const Bytes& Bmp8() {
  static const Bytes file = [] {
    Bytes b = BmpHeader(8, 0, 256, size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) b.push_back(Shade(x, y, 1));
    return b;
  }();
  return file;
}

// Runs of 8 equal pixels: a typical flat-coloured RLE picture.
const Bytes& BmpRle8() {
  static const Bytes file = [] {
    Bytes runs;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; x += 8) runs.insert(runs.end(), {8, Shade(x, y, 2)});
      runs.insert(runs.end(), {0, 0});
    }
    runs.insert(runs.end(), {0, 1});
    Bytes b = BmpHeader(8, 1, 256, runs.size());
    b.insert(b.end(), runs.begin(), runs.end());
    return b;
  }();
  return file;
}

const Bytes& Jpeg() {
  static const Bytes file = [] {
    orv::Image picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) picture.SetPixel(x, y, orv::Rgb{Shade(x, y, 0), Shade(x, y, 1), Shade(x, y, 2)});
    return orv::EncodeJpeg(picture, 85);
  }();
  return file;
}

void BM_CopyPicture(benchmark::State& state) {
  const Bytes& src = Bmp24();
  Bytes dst(src.size());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyPicture);

void DecodeBmpLoop(benchmark::State& state, const Bytes& file) {
  for (auto _ : state) {
    orv::Result<orv::Image> d = orv::DecodeBmp(file);
    benchmark::DoNotOptimize(d->bytes().data());
  }
}
void BM_DecodeBmp24(benchmark::State& state) { DecodeBmpLoop(state, Bmp24()); }
void BM_DecodeBmp8(benchmark::State& state) { DecodeBmpLoop(state, Bmp8()); }
void BM_DecodeBmpRle8(benchmark::State& state) { DecodeBmpLoop(state, BmpRle8()); }
BENCHMARK(BM_DecodeBmp24);
BENCHMARK(BM_DecodeBmp8);
BENCHMARK(BM_DecodeBmpRle8);

void BM_DecodeJpeg(benchmark::State& state) {
  for (auto _ : state) {
    orv::Result<orv::Image> d = orv::DecodeJpeg(Jpeg());
    benchmark::DoNotOptimize(d->bytes().data());
  }
}
BENCHMARK(BM_DecodeJpeg);

// libjpeg-turbo alone on the same file, into a buffer made once: what DecodeJpeg adds on top
// of the library is BM_DecodeJpeg / BM_DecodeJpegLibraryAlone.
void BM_DecodeJpegLibraryAlone(benchmark::State& state) {
  const Bytes& file = Jpeg();
  std::vector<uint8_t> out(size_t(orv::kStageWidth) * orv::kStageHeight * 3);
  for (auto _ : state) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = out.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 3;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_DecodeJpegLibraryAlone);

// A game folder with a picture package of 40 members, the last of which is asked for.
struct PackageFolder {
  std::filesystem::path dir;
  PackageFolder() {
    dir = std::filesystem::temp_directory_path() / ("orvane-bench-pictures-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::vector<orv::PackageMember> members;
    for (int i = 0; i < 39; ++i) members.push_back({"filler" + std::to_string(i) + ".bmp", Bytes(64, 0)});
    members.push_back({"chara.bmp", Bmp24()});
    if (auto written = orv::WriteFileAtomically(dir / "graphic.dat", orv::BuildPackage(members)); !written)
      std::fprintf(stderr, "%s\n", written.error().message.c_str());
  }
  ~PackageFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

PackageFolder& Folder() {
  static PackageFolder folder;
  return folder;
}

void BM_LoadFromPackage(benchmark::State& state) {
  orv::GameFolder folder(Folder().dir);
  orv::PictureLoader loader(folder, "graphic.dat");
  for (auto _ : state) {
    orv::PictureLoad load = loader.Load("CHARA.BMP");
    if (!load.ok() || !*load) state.SkipWithError("not loaded");
    benchmark::DoNotOptimize(load->get());
  }
}
BENCHMARK(BM_LoadFromPackage);

void BM_LoadCached(benchmark::State& state) {
  orv::GameFolder folder(Folder().dir);
  orv::PictureCache cache(folder, "graphic.dat");
  if (!cache.Load("chara.bmp")) state.SkipWithError("not loaded");
  for (auto _ : state) {
    orv::PictureLoad load = cache.Load("CHARA.BMP");
    if (!load.ok() || !*load) state.SkipWithError("not loaded");
    benchmark::DoNotOptimize(load->get());
  }
}
BENCHMARK(BM_LoadCached);

// A picture the cache does not hold, from packages of 10 and of 5,000 members: the last
// member, a 32 x 32 picture, so that finding it and not decoding it is what is measured.
struct ManyMembersFolder {
  std::filesystem::path dir;
  ManyMembersFolder() {
    dir = std::filesystem::temp_directory_path() / ("orvane-bench-members-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    Bytes small = BmpHeader(24, 0, 0, 32 * 32 * 3);
    orv::PutU32LE(&small[18], 32);
    orv::PutU32LE(&small[22], 32);
    small.resize(small.size() + 32 * 32 * 3, 0x5A);
    for (int count : {10, 5000}) {
      std::vector<orv::PackageMember> members;
      for (int i = 0; i + 1 < count; ++i) members.push_back({"member" + std::to_string(i) + ".bmp", Bytes(16, 0)});
      members.push_back({"last.bmp", small});
      if (auto written =
              orv::WriteFileAtomically(dir / ("pictures" + std::to_string(count) + ".dat"), orv::BuildPackage(members));
          !written)
        std::fprintf(stderr, "%s\n", written.error().message.c_str());
    }
  }
  ~ManyMembersFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

void LoadUncached(benchmark::State& state, int members) {
  static ManyMembersFolder many;
  orv::GameFolder folder(many.dir);
  orv::PictureCache cache(folder, "pictures" + std::to_string(members) + ".dat");
  for (auto _ : state) {
    cache.Clear();
    orv::PictureLoad load = cache.Load("LAST.BMP");
    if (!load.ok() || !*load) state.SkipWithError("not loaded");
    benchmark::DoNotOptimize(load->get());
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::bench::AddWithMinimum("load/uncached_10_members", [](benchmark::State& s) { LoadUncached(s, 10); })
      ->Unit(benchmark::kNanosecond);
  orv::bench::AddWithMinimum("load/uncached_5000_members", [](benchmark::State& s) { LoadUncached(s, 5000); })
      ->Unit(benchmark::kNanosecond);
  benchmark::Initialize(&argc, argv);
  orv::bench::TimeKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("BM_CopyPicture", "Time as a multiple of copying one 640 x 480 picture:");
  if (const double few = reporter.Time("load/uncached_10_members"); few > 0)
    std::printf("\nAn uncached load from 5,000 members / from 10 members, same run: %.2f\n",
                reporter.Time("load/uncached_5000_members") / few);
  benchmark::Shutdown();
  return 0;
}
