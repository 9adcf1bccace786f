#pragma once
// The built-in synthesizer, started when music first needs it. FluidSynth with a General MIDI
// SoundFont takes tens of megabytes and a tenth of a second or more to load, which a game that
// plays no music should not pay; so the first Open() (a song starting) creates it, on a thread
// of its own, and the game goes on meanwhile.
//
// Until it is ready:
// - Renderer() gives nothing, and the audio stream renders no synthesizer and runs no MIDI ticks:
//   the song waits at its start, then plays from its first event at its own pace. It starts
//   later by the loading time; nothing is skipped or hurried to catch up.
// - Messages sent meanwhile (a sequencer resetting the device) are kept in order and given to
//   the synthesizer before it renders anything.
// When no SoundFont loads, the synthesizer is ready all the same and renders silence, so that
// songs still run their course.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/midi_output.h"
#include "platform/bytes.h"

namespace orv {

class FluidSynthOutput;
class TickedSynth;

class DeferredSynth final : public MidiOutput {
 public:
  // `soundFonts`: the files to try, best first.
  DeferredSynth(double sampleRate, std::vector<std::filesystem::path> soundFonts);
  // Waits for a start under way.
  ~DeferredSynth() override;
  DeferredSynth(const DeferredSynth&) = delete;
  DeferredSynth& operator=(const DeferredSynth&) = delete;

  bool Started() const { return started_; }
  // Once the synthesizer is ready, what renders it with the MIDI ticks woven in; else null.
  // For the audio thread.
  TickedSynth* Renderer() const;
  // Music can sound: a SoundFont is loaded, or (before the start) there is one to try.
  bool WillSound() const;
  // Waits until a start under way has ended.
  void WaitUntilReady();
  // The lines about SoundFonts that failed to load, each once.
  std::vector<std::string> TakeProblems();
  // Starts loading now, as the first song would, so that the first song need not wait.
  void Preload();
  // A song holds the synthesizer open (between its Open and Close); any thread.
  bool SongOpen() const { return songOpen_.load(std::memory_order_acquire); }
  // Runs on the game's thread whenever a song opens the synthesizer.
  void OnOpen(std::function<void()> opened) { onOpen_ = std::move(opened); }

  bool Open() override;
  void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
  void LongMessage(ByteSpan bytes) override;
  void Reset() override;
  void Close() override;

  // Messages kept at most while the synthesizer loads; more are dropped. Only a song's
  // start and stop send any before the ticks run, a few dozen at a time.
  static constexpr size_t kMaxPendingMessages = 4096;

 private:
  struct Message {
    enum class Kind { Short, Long, Reset, Close } kind = Kind::Short;
    uint8_t status = 0, data1 = 0, data2 = 0;
    Bytes bytes;  // Long only
  };
  void Start();
  void Send(Message message);
  void Deliver(const Message& message);

  const double sampleRate_;
  const std::vector<std::filesystem::path> soundFonts_;
  bool started_ = false;  // the game's thread only
  std::thread starter_;

  mutable std::mutex mutex_;  // pending_, problems_, and the moment synth_ becomes ready
  std::vector<Message> pending_;
  std::vector<std::string> problems_;
  std::unique_ptr<FluidSynthOutput> synth_;
  std::unique_ptr<TickedSynth> renderer_;
  std::atomic<bool> ready_{false};  // set once synth_ is there and pending_ delivered
  std::atomic<bool> songOpen_{false};
  std::function<void()> onOpen_;

  FluidSynthOutput* Ready() const;
};

}  // namespace orv
