#pragma once
// The background-music sequencer. A song is parsed once into a record list; a 1 ms tick
// (OnTimer) turns elapsed time into MIDI ticks and sends the due records to a MidiOutput.
//
// Threads: OnTimer may run on another thread (the audio thread on the desktop); every other
// member runs on the game's thread. They share the song and counters without a lock, ordered
// by two flags: OnTimer does nothing while `stopRequested` is set, and StopPlayback (which
// every operation that changes the song or the device starts with) sets it and then waits
// until no OnTimer is running before it touches anything.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/audio/midi_output.h"
#include "platform/bytes.h"
#include "sound/midi_file.h"

namespace orv {

class AudioOut;

// The last value the song sent of each of these, per channel, re-sent when a song loops. A
// value the song never sent is re-sent as the General MIDI default: a zero there would turn
// the music hard left, or silence a song that never sets its volume.
struct ChannelState {
  std::optional<uint8_t> program, bank, pan, reverb, chorus, volume, expression;
};

class MidiPlayer {
 public:
  static constexpr uint32_t kDefaultTempo = 400000;  // microseconds per quarter note: 150 bpm
  static constexpr int kMaxTicksPerCallback = 10;

  // Sends to `output`; the owner calls OnTimer every millisecond.
  explicit MidiPlayer(MidiOutput& device);
  // Sends to audioOut.Midi() and has `audioOut` call OnTimer every millisecond.
  explicit MidiPlayer(AudioOut& audioOut);
  ~MidiPlayer();
  MidiPlayer(const MidiPlayer&) = delete;
  MidiPlayer& operator=(const MidiPlayer&) = delete;

  // Stops, drops the current song and parses the new one; the player stays stopped. Nothing
  // (the file was not found) or bytes that are no song leave no song loaded.
  void LoadSong(const std::optional<Bytes>& file);
  void LoadSong(const Bytes& file) { LoadSong(ByteSpan(file)); }
  void LoadSong(ByteSpan file);
  // False when no song is loaded. Otherwise starts the song from its first record at the
  // default tempo with cleared channel states.
  bool PlayFromStart();
  void StopPlayback();
  void UnloadSong();
  void SetLoop(bool flag) { loop = flag; }

  // The 1 ms timer's work.
  void OnTimer();

  bool HasSong() const { return song.has_value(); }
  // The song restarts at its end (with the loop flag set): it sounds a note and takes time.
  // Anything else would only send the same state again and again, as fast as the ticks come.
  bool Replays() const { return replays; }
  bool Playing() const { return timerRunning.load(); }
  bool Loop() const { return loop.load(); }
  uint32_t Tempo() const { return tempo; }

 private:
  void StartTimer();
  void ResetTimeBase();
  void RestartLoop();
  void ExecuteTick();
  void Execute(const MidiEvent& event);
  void SendChannelStates();
  void SilenceAndClose();
  void Send(uint8_t status, uint8_t data1, uint8_t data2);
  void SendLong(ByteSpan bytes);
  uint64_t TargetTicks() const;

  MidiOutput& output;
  AudioOut* audio = nullptr;

  std::optional<MidiSong> song;
  bool replays = false;
  std::array<ChannelState, 16> channelStates{};
  size_t eventIndex = 0;
  uint32_t ticksToNext = 0;
  uint32_t tempo = kDefaultTempo;
  uint32_t elapsedMs = 0;
  uint64_t ticksDone = 0;
  bool deviceOpen = false;

  std::atomic<bool> loop{true};
  std::atomic<bool> timerRunning{false};
  std::atomic<bool> stopRequested{true};
  std::atomic<bool> inCallback{false};
};

}  // namespace orv
