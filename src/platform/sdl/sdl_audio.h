#pragma once
// The desktop's sound, through SDL2_mixer: the sound effect on mixer channel 0, tracks
// streamed as SDL_mixer music (Ogg, FLAC, MP3, WAVE, and raw CD audio from disc images
// dressed as WAVE), and MIDI either to the built-in FluidSynth synthesizer, mixed into the same
// output, or to an ALSA sequencer port. The synthesizer starts with the first song
// (DeferredSynth); until then the SoundFonts are only looked at, so a game without music costs
// no synthesizer.
//
// The MIDI ticker runs on the audio thread, between 1 ms slices of synthesizer output:
// after every 44.1 frames (at 44.1 kHz) of rendered sound the ticker runs once and the
// events it sends sound from the next frame on. So music timing follows the sound card's
// clock, with no timer jitter, and the same song always renders the same samples. With an
// ALSA port (or with no sound device at all) a thread of its own ticks every millisecond.
//
// End-of-track callbacks wait in the backend until the game's thread calls Pump(): the main
// loop calls it whenever it handles events and while the game waits.
//
// Volumes are this player's own gains, never the system mixer's: the wave line scales
// channel 0, the MIDI line the synthesizer, each channel of each on its own; the CD line sets
// SDL_mixer's music volume, which has no balance, from the louder of its two channels.
#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/audio/quiet_synth_gate.h"
#include "platform/audio/midi_output.h"

typedef uint32_t SDL_AudioDeviceID;

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

namespace orv {

class DeferredSynth;

class SdlAudio final : public AudioOut {
 public:
  struct Options {
    std::filesystem::path soundFont;   // empty: look in the game folder, then the system's
    std::string soundFontOrigin = "--soundfont";  // who named it, for messages
    std::filesystem::path gameFolder;  // where a game's own SoundFont may be
    std::string sdlSoundFonts;         // the SDL_SOUNDFONTS variable: more places to look
    std::string midiPort;              // an ALSA sequencer port instead of the synthesizer
    int sampleRate = 44100;
    int bufferFrames = 1024;
  };

  explicit SdlAudio(const Options& options);
  // The owner of the ticker (the MidiPlayer) must be gone, or have cleared it, before this.
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // A sound device is open: waves and tracks can play.
  bool DeviceOpen() const { return deviceOpen_; }
  // The music goes to a port, or to a synthesizer that can sound (or will, once started).
  bool MusicReady() const;
  // What went wrong while setting up: one English line each, for standard error.
  const std::vector<std::string>& SetupProblems() const { return problems_; }
  // What went wrong later, when the synthesizer started: `report` gets the lines, and whether
  // the music is silent after all, from Pump().
  using LateProblems = std::function<void(const std::vector<std::string>& lines, bool musicSilent)>;
  void OnLateProblems(LateProblems report) { lateProblems_ = std::move(report); }
  // The SoundFont the synthesizer uses (or will try first); empty when none.
  const std::filesystem::path& soundFont() const { return soundFontFile_; }
  // The built-in synthesizer; null when music goes to a port or nowhere.
  DeferredSynth* synthesizer() { return synth_; }
  // Runs the callbacks of tracks that have ended and reports late problems, on the calling
  // (game) thread; pauses the device when nothing sounds.
  void Pump();
  // Starts loading the synthesizer now (a game with music), so that the first song plays at once.
  void PreloadSynthesizer();
  // The device is paused: no sound, song or track plays (for measurements and tests).
  bool DevicePaused() const { return paused_; }

  bool PlayWave(Bytes waveFile, bool loop) override;
  void StopWave() override;
  bool WavePlaying() override;

  bool PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) override;
  bool PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) override;
  void StopTrack() override;
  bool TrackPlaying() override;

  MidiOutput& Midi() override { return *midi_; }
  void SetMidiTicker(std::function<void()> tick) override;

  bool GetVolume(VolumeLine line, uint32_t& volume) override;
  void SetVolume(VolumeLine line, uint32_t volume) override;

 private:
  static void PostMix(void* self, uint8_t* stream, int length);
  static void WaveGain(int channel, void* stream, int length, void* self);
  static void MusicFinished();

  // Plays music_ once it is loaded; false (and music_ freed) when it cannot start.
  bool StartTrack(TrackEnd onEnd);
  void MixSynthesizer(int16_t* out, int frames);
  // The device runs while anything may sound, and pauses otherwise: mixing silence costs CPU.
  void PauseWhenSilent();
  void Wake();
  void RunTickerThread();

  // The SoundFonts worth trying, best first; a line in problems_ for each left out.
  std::vector<std::filesystem::path> ChooseSoundFonts(const Options& options);

  std::vector<std::string> problems_;
  std::filesystem::path soundFontFile_;
  bool sdlAudioInit_ = false;
  bool deviceOpen_ = false;
  int rate_ = 44100;

  std::unique_ptr<MidiOutput> midi_;
  DeferredSynth* synth_ = nullptr;  // midi_ when it is the synthesizer
  LateProblems lateProblems_;

  std::mutex tickerMutex_;  // the ticker and the synthesizer's rendering
  std::function<void()> ticker_;
  std::vector<float> render_;
  QuietSynthGate quietGate_;                 // the audio thread's
  std::atomic<bool> synthSounding_{false};   // the gate has not found the synthesizer quiet
  SDL_AudioDeviceID device_ = 0;             // SDL_mixer's device, when it can be told
  bool paused_ = false;

  std::thread tickerThread_;
  std::atomic<bool> tickerThreadStop_{false};

  Mix_Chunk* wave_ = nullptr;
  Mix_Music* music_ = nullptr;
  TrackEnd onTrackEnd_;
  uint32_t trackStartMs_ = 0;
  std::atomic<uint32_t> trackEndMs_{0};
  std::atomic<bool> trackEnded_{false};
  std::atomic<bool> haltingMusic_{false};

  std::array<std::atomic<uint32_t>, 3> volumes_;
};

}  // namespace orv
