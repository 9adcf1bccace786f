#pragma once
// Sound as the game needs it: one sound effect, one CD-style track, and a MIDI output driven
// by a 1 ms tick. Volumes are the player's own mixer gains in the 32-bit form the game keeps
// (low 16 bits left, high 16 bits right, each 0..0xFFFF).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/bytes.h"

namespace orv {

class MidiOutput;

enum class VolumeLine { Wave, Midi, Cd };

// A stretch of a disc image's audio: raw CD samples (16-bit little-endian, stereo, 44.1 kHz,
// 2352 bytes a frame) at `offset` in `file`.
// A span without a file is that many bytes of silence: a gap the disc has but no file holds.
struct RawAudioSpan {
  std::filesystem::path file;
  uint64_t offset = 0;
  uint64_t length = 0;
  bool Silent() const { return file.empty(); }
  friend bool operator==(const RawAudioSpan&, const RawAudioSpan&) = default;
};
inline constexpr uint32_t kCdAudioBytesPerSecond = 44100 * 4;

class AudioOut {
 public:
  virtual ~AudioOut() = default;

  // Plays a wave file held in memory; replaces any effect that plays. False when the bytes
  // are not a wave file this player can decode.
  virtual bool PlayWave(Bytes waveFile, bool loop) = 0;
  virtual void StopWave() = 0;
  virtual bool WavePlaying() = 0;

  // Plays a track file from start to end; `onEnd` runs on the game's thread (from the main
  // loop) when it ends by itself, not when it is stopped or replaced, with the time it played
  // as the sound output counts it (not the game's clock, which a long wait may have moved on).
  using TrackEnd = std::function<void(uint32_t playedMs)>;
  virtual bool PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) = 0;
  // Plays the spans one after another as one track, read from their files as it plays (an
  // image may be hundreds of megabytes), and ends it like PlayTrack. False when a span lies
  // beyond the end of its file or the file cannot be opened.
  virtual bool PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) = 0;
  virtual void StopTrack() = 0;
  virtual bool TrackPlaying() = 0;

  // The synthesizer (or port, or recorder) that music goes to.
  virtual MidiOutput& Midi() = 0;
  // `tick` is called once per millisecond of audio time (on the audio thread on the desktop,
  // on the game's thread headless). Empty to stop.
  virtual void SetMidiTicker(std::function<void()> tick) = 0;

  virtual bool GetVolume(VolumeLine line, uint32_t& volume) = 0;
  virtual void SetVolume(VolumeLine line, uint32_t volume) = 0;
};

}  // namespace orv
