// Cue sheets through libcue, the layout of their tracks over files of several kinds and
// sizes, and the WAVE headers a CD image's files may have.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/audio/cue_sheet.h"
#include "sound/cd_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)orv::CdFormatWaveData(orv::ByteSpan(data, size), size);
  const orv::Result<orv::CueSheet> sheet = orv::ParseCueSheet(text);
  if (!sheet) return 0;
  // Every kind of file, short and long, so that tracks fall inside, across and beyond them.
  std::vector<orv::CdImageFile> files;
  const auto names = orv::CdImageFileNames(*sheet);
  for (size_t i = 0; i < names.size(); ++i) {
    const auto kind = orv::CdImageFile::Kind(i % 3);
    const uint64_t bytes = (i % 2 ? 2352ull * 75 * 60 : 1001) + size;
    files.push_back({kind, names[i], i * 44, bytes});
  }
  const orv::CdImage image = orv::CdImage::LayOut(*sheet, files);
  for (int track = 0; track <= image.TrackCount() + 1; ++track) {
    const auto source = image.Track(track);
    if (const auto* spans = source ? std::get_if<std::vector<orv::RawAudioSpan>>(&*source) : nullptr)
      for (const orv::RawAudioSpan& span : *spans)
        if (span.length == 0 || span.length % 4 != 0) __builtin_trap();
  }
  (void)image.Problems();
  return 0;
}
