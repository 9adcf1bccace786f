// Wave file headers and the lengths of track files (Ogg, FLAC, MP3).
#include <cstddef>
#include <cstdint>

#include "platform/audio/track_length.h"
#include "platform/audio/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orv::ByteSpan bytes(data, size);
  if (const auto wave = orv::ParseWaveFile(bytes)) (void)wave->LengthMs();
  (void)orv::TrackLengthMs(bytes);
  (void)orv::OggLengthMs(bytes);
  (void)orv::FlacLengthMs(bytes);
  (void)orv::MpegAudioLengthMs(bytes);
  return 0;
}
