#include "platform/web/web_audio.h"

#include <algorithm>

#include "platform/web/page_bridge.h"

namespace orv {

WebAudio::WebAudio(const std::filesystem::path& midiLog, uint32_t nowMs) : timing_(midiLog, nowMs) {}

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
  return timing_.PlayTrack(file, std::move(onEnd));
}

bool WebAudio::PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) {
  return timing_.PlayRawTrack(std::move(spans), std::move(onEnd));
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
