#include "platform/headless/headless_audio.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/audio/midi_recorder.h"
#include "platform/audio/track_length.h"
#include "platform/audio/wave_file.h"
#include "platform/game_folder.h"

namespace orv {

namespace {
constexpr uint32_t kFullVolume = 0xFFFFFFFF;  // both channels at the top
}  // namespace

HeadlessAudio::HeadlessAudio(const std::filesystem::path& midiLog, uint32_t startMs)
    : now_(startMs), volumes_{kFullVolume, kFullVolume, kFullVolume} {
  if (!midiLog.empty()) {
    auto recorder = MidiRecorder::ToFile(midiLog, [this] { return now_; });
    recorder_ = recorder.get();
    midi_ = std::move(recorder);
  }
  logging_ = midi_ != nullptr;
  if (!midi_) midi_ = std::make_unique<NullMidiOutput>();
}

HeadlessAudio::~HeadlessAudio() = default;

void HeadlessAudio::Reset(uint32_t startMs) {
  now_ = startMs;
  wave_ = Playback();
  track_ = Playback();
  onTrackEnd_ = nullptr;
  volumes_.fill(kFullVolume);
}

bool HeadlessAudio::PlayWave(Bytes waveFile, bool loop) {
  StopWave();
  const auto info = ParseWaveFile(waveFile);
  if (!info) return false;
  wave_ = {true, loop, now_, info->LengthMs()};
  return true;
}

void HeadlessAudio::StopWave() { wave_.playing = false; }

bool HeadlessAudio::PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) {
  StopTrack();
  const auto bytes = ReadFileBytes(file);
  const auto length = bytes ? TrackLengthMs(*bytes) : std::nullopt;
  if (!length) return false;
  track_ = {true, false, now_, *length};
  onTrackEnd_ = std::move(onEnd);
  return true;
}

bool HeadlessAudio::PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) {
  StopTrack();
  uint64_t bytes = 0;
  for (const RawAudioSpan& span : spans) {
    if (span.Silent()) {
      bytes += span.length;
      continue;
    }
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(span.file, ec);
    if (ec || span.offset > size || size - span.offset < span.length) return false;
    bytes += span.length;
  }
  const uint64_t ms = (bytes * 1000 + kCdAudioBytesPerSecond - 1) / kCdAudioBytesPerSecond;
  track_ = {true, false, now_, uint32_t(std::min<uint64_t>(ms, UINT32_MAX))};
  onTrackEnd_ = std::move(onEnd);
  return true;
}

void HeadlessAudio::StopTrack() {
  track_.playing = false;
  onTrackEnd_ = nullptr;
}

bool HeadlessAudio::GetVolume(VolumeLine line, uint32_t& volume) {
  volume = volumes_[size_t(line)];
  return true;
}

void HeadlessAudio::SetVolume(VolumeLine line, uint32_t volume) { volumes_[size_t(line)] = volume; }

void HeadlessAudio::AdvanceTo(uint32_t nowMs) {
  // Differences, not comparisons, so that the 32-bit tick count may wrap.
  while (int32_t(nowMs - now_) > 0) {
    ++now_;
    if (ticker_) ticker_();
    if (wave_.Over(now_)) wave_.playing = false;
    if (track_.Over(now_)) {
      track_.playing = false;
      // The callback may start the next track, which brings its own callback.
      if (auto onEnd = std::exchange(onTrackEnd_, nullptr)) onEnd(now_ - track_.startMs);
    }
  }
}

}  // namespace orv
