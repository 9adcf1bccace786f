#include "platform/web/web_audio.h"

#include <algorithm>

#include "platform/game_folder.h"
#include "platform/web/page_bridge.h"

namespace orv {

namespace {
// The most of a track file the page is handed: a file over it (rare; an hour of FLAC is about
// 300 MB) stays silent while it keeps its time, rather than taking the tab's memory.
constexpr uint64_t kMostTrackBytes = uint64_t(256) << 20;
}  // namespace

WebAudio::WebAudio(uint32_t nowMs) : timing_({}, nowMs), midi_([this] { return timing_.NowMs(); }) {}

bool WebAudio::PlayWave(Bytes waveFile, bool loop) {
  // The page decodes a copy; the timing keeps the bytes for the effect's length.
  const Bytes copy = waveFile;
  if (!timing_.PlayWave(std::move(waveFile), loop)) return false;
  orvane_web_play_wave(copy.data(), copy.size(), loop ? 1 : 0);
  return true;
}

void WebAudio::StopWave() {
  timing_.StopWave();
  orvane_web_stop_wave();
}

bool WebAudio::PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) {
  orvane_web_stop_track();
  if (!timing_.PlayTrack(file, std::move(onEnd))) return false;
  // The timing read the file already; the browser decodes its own copy.
  if (std::optional<Bytes> bytes = ReadFileBytes(file, size_t(kMostTrackBytes)))
    orvane_web_play_track(bytes->data(), bytes->size());
  return true;
}

// Only a disc image's cue sheet leads here, and the browser build reads none: kept timed, silent.
bool WebAudio::PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) {
  orvane_web_stop_track();
  return timing_.PlayRawTrack(std::move(spans), std::move(onEnd));
}

void WebAudio::StopTrack() {
  timing_.StopTrack();
  orvane_web_stop_track();
}

void WebAudio::SetVolume(VolumeLine line, uint32_t volume) {
  timing_.SetVolume(line, volume);
  orvane_web_set_gain(int(line), GainOfVolume(volume));
}

double GainOfVolume(uint32_t volume) {
  const uint32_t left = volume & 0xFFFF;
  const uint32_t right = volume >> 16;
  return double(std::max(left, right)) / 0xFFFF;
}

}  // namespace orv
