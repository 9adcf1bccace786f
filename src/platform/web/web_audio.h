#pragma once
// Sound in the browser. Effects and tracks play through the page's Web Audio and music through
// the page's SoundFont synthesizer; everything keeps the timing of the headless sound (an
// effect, a track and the MIDI ticker run for as long as their files say, by the real clock),
// so the game sees sound end when it would on the desktop whether or not the page may play yet.
#include <cstdint>
#include <filesystem>

#include "platform/headless/headless_audio.h"
#include "platform/web/web_midi_output.h"

namespace orv {

class WebAudio final : public AudioOut {
 public:
  explicit WebAudio(uint32_t nowMs);

  bool PlayWave(Bytes waveFile, bool loop) override;
  void StopWave() override;
  bool WavePlaying() override { return timing_.WavePlaying(); }
  bool PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) override;
  bool PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) override;
  void StopTrack() override;
  bool TrackPlaying() override { return timing_.TrackPlaying(); }
  MidiOutput& Midi() override { return midi_; }
  void SetMidiTicker(std::function<void()> tick) override { timing_.SetMidiTicker(std::move(tick)); }
  bool GetVolume(VolumeLine line, uint32_t& volume) override { return timing_.GetVolume(line, volume); }
  void SetVolume(VolumeLine line, uint32_t volume) override;

  // Runs the sound's time up to nowMs: the MIDI ticker, ends of effects and tracks.
  void Pump(uint32_t nowMs) { timing_.AdvanceTo(nowMs); }

 private:
  HeadlessAudio timing_;
  WebMidiOutput midi_;
};

// The gain Web Audio takes for one of the game's 32-bit volumes (two 16-bit channels): the
// louder channel, from 0 to 1.
double GainOfVolume(uint32_t volume);

}  // namespace orv
