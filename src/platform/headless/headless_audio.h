#pragma once
// Sound without a device, on the virtual clock. Nothing is heard, but everything takes as
// long as it would: a wave or a track plays for the length its headers give, the MIDI
// ticker runs once per virtual millisecond, and MIDI goes to a log (or nowhere).
//
// The owner calls AdvanceTo whenever the virtual clock moves; the ticker, the ends of waves
// and tracks, and the end-of-track callbacks all happen inside that call, on the game's
// thread, at the exact millisecond they fall on.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/audio.h"
#include "platform/audio/midi_output.h"
#include "platform/audio/midi_recorder.h"

namespace orv {

class HeadlessAudio final : public AudioOut {
 public:
  // With a log file, MIDI operations are written to it (see MidiRecorder), stamped with the
  // virtual time; without one, or when it cannot be created, they go nowhere.
  explicit HeadlessAudio(const std::filesystem::path& midiLog = {}, uint32_t startMs = 0);
  ~HeadlessAudio() override;

  // Silent at startMs with full volumes, as a new one; the MIDI output and the ticker stay.
  void Reset(uint32_t startMs = 0);

  bool PlayWave(Bytes waveFile, bool loop) override;
  void StopWave() override;
  bool WavePlaying() override { return wave_.playing; }

  // Tracks are timed by TrackLengthMs: WAVE, Ogg Vorbis or Opus, FLAC, MP3. A file whose
  // length cannot be told does not play.
  bool PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) override;
  // Raw audio plays for the time its bytes hold, rounded up to a whole millisecond.
  bool PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) override;
  void StopTrack() override;
  bool TrackPlaying() override { return track_.playing; }

  MidiOutput& Midi() override { return *midi_; }
  void SetMidiTicker(std::function<void()> tick) override { ticker_ = std::move(tick); }

  bool GetVolume(VolumeLine line, uint32_t& volume) override;
  void SetVolume(VolumeLine line, uint32_t volume) override;

  // Runs every millisecond from the last one reached up to nowMs. A time before it is ignored.
  void AdvanceTo(uint32_t nowMs);
  uint32_t NowMs() const { return now_; }
  bool LoggingMidi() const { return logging_; }
  // The MIDI log could not be written to (a full disk).
  bool MidiLogFailed() const { return recorder_ != nullptr && recorder_->WriteFailed(); }

 private:
  struct Playback {
    bool playing = false;
    bool loop = false;
    uint32_t startMs = 0;
    uint32_t lengthMs = 0;
    bool Over(uint32_t nowMs) const { return playing && !loop && nowMs - startMs >= lengthMs; }
  };

  uint32_t now_;
  std::unique_ptr<MidiOutput> midi_;
  MidiRecorder* recorder_ = nullptr;
  bool logging_ = false;
  std::function<void()> ticker_;
  Playback wave_;
  Playback track_;
  TrackEnd onTrackEnd_;
  std::array<uint32_t, 3> volumes_;
};

}  // namespace orv
