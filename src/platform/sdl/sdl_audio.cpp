#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/audio/wave_file.h"
#include "platform/sdl/alsa_midi_output.h"
#include "platform/sdl/fluidsynth_output.h"
#include "platform/sdl/raw_audio_stream.h"
#include "platform/sdl/sdl_audio_synth.h"
#include "platform/sdl/ticked_synth.h"

namespace orv {
namespace {

constexpr int kWaveChannel = 0;

// SDL_mixer's music-finished hook takes no user data, and a process has one mixer: the
// open SdlAudio is reached through this.
std::atomic<SdlAudio*> g_openAudio{nullptr};

float Gain(uint32_t volume, int channel) { return float(channel == 0 ? volume & 0xFFFF : volume >> 16) / 65535.0f; }

int16_t Saturate(float sample) { return int16_t(std::clamp(sample, -32768.0f, 32767.0f)); }

}  // namespace

SdlAudio::SdlAudio(const Options& options) : rate_(options.sampleRate) {
  for (auto& volume : volumes_) volume = 0xFFFFFFFF;

  // A wave whose last ADPCM block is short plays to its last whole sample, as the header
  // parser counts it, instead of losing the block.
  SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "dropframe");
  sdlAudioInit_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (sdlAudioInit_) {
    Mix_Init(MIX_INIT_OGG | MIX_INIT_FLAC | MIX_INIT_MP3);
    // No format changes allowed: SDL converts to the device, and the mixer's stream is
    // always 16-bit stereo at our rate.
    deviceOpen_ = Mix_OpenAudioDevice(options.sampleRate, AUDIO_S16SYS, 2, options.bufferFrames, nullptr, 0) == 0;
  }

  if (!deviceOpen_)
    problems_.push_back(std::string("no sound device could be opened (") + SDL_GetError() +
                        "): the game plays without sound");

  if (!options.midiPort.empty()) {
    auto port = std::make_unique<AlsaMidiOutput>(options.midiPort);
    if (!port->Connected())
      problems_.push_back("cannot connect to the MIDI port " + options.midiPort + ": music is silent");
    midi_ = std::move(port);
  } else if (deviceOpen_) {
    auto synth = std::make_unique<DeferredSynth>(rate_, ChooseSoundFonts(options));
    synth_ = synth.get();
    midi_ = std::move(synth);
    render_.resize(2 * size_t(std::max(options.bufferFrames, 4096)));
  } else {
    midi_ = std::make_unique<NullMidiOutput>();
  }

  if (synth_) synth_->OnOpen([this] { Wake(); });
  if (deviceOpen_) {
    // SDL_mixer does not say which device it opened; with one open in the process, it is the
    // one SDL reports as not stopped. Unsure, the device is never paused.
    int found = 0;
    for (SDL_AudioDeviceID id = 1; id <= 16; ++id)
      if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) {
        device_ = id;
        ++found;
      }
    if (found != 1) device_ = 0;
    Mix_AllocateChannels(1);
    g_openAudio = this;
    Mix_HookMusicFinished(MusicFinished);
    Mix_SetPostMix(PostMix, this);
  }
  if (!synth_) tickerThread_ = std::thread([this] { RunTickerThread(); });
}

SdlAudio::~SdlAudio() {
  if (tickerThread_.joinable()) {
    tickerThreadStop_ = true;
    tickerThread_.join();
  }
  if (deviceOpen_) {
    Wake();  // closing waits for the device's thread, which must not be parked
    StopWave();
    StopTrack();
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HookMusicFinished(nullptr);
    g_openAudio = nullptr;
    Mix_CloseAudio();
    Mix_Quit();
  }
  midi_.reset();
  if (sdlAudioInit_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::MusicReady() const {
  if (synth_) return synth_->WillSound();
  const auto* port = dynamic_cast<const AlsaMidiOutput*>(midi_.get());
  return port && port->Connected();
}

std::vector<std::filesystem::path> SdlAudio::ChooseSoundFonts(const Options& options) {
  namespace fs = std::filesystem;
  std::vector<fs::path> usable;
  for (const auto& candidate :
       FluidSynthOutput::SoundFontCandidates(options.soundFont, options.gameFolder, options.sdlSoundFonts,
                                             options.soundFontOrigin)) {
    const std::string where = candidate.file.string() + " (from " + candidate.origin + ")";
    std::error_code ec;
    if (!fs::is_regular_file(candidate.file, ec)) {
      problems_.push_back("SoundFont " + where + " is not a file; trying the next one");
      continue;
    }
    if (!FluidSynthOutput::LooksLikeSoundFont(candidate.file)) {
      problems_.push_back("SoundFont " + where + " cannot be read as a SoundFont; trying the next one");
      continue;
    }
    usable.push_back(candidate.file);
  }
  if (usable.empty())
    problems_.push_back(
        "no General MIDI SoundFont found: music is silent (install fluid-soundfont-gm, put a .sf2 file in the game "
        "folder, or name one with --soundfont FILE)");
  else
    soundFontFile_ = usable.front();
  return usable;
}

// --- MIDI timing -------------------------------------------------------------------------

void SdlAudio::SetMidiTicker(std::function<void()> tick) {
  std::lock_guard lock(tickerMutex_);
  ticker_ = std::move(tick);
}

void SdlAudio::PostMix(void* self, uint8_t* stream, int length) {
  auto* audio = static_cast<SdlAudio*>(self);
  if (audio->synth_) audio->MixSynthesizer(reinterpret_cast<int16_t*>(stream), length / 4);
}

void SdlAudio::MixSynthesizer(int16_t* out, int frames) {
  std::lock_guard lock(tickerMutex_);
  // Before the first song, or while the synthesizer loads, there is nothing to render and
  // no song time passes.
  TickedSynth* ticked = synth_->Renderer();
  if (!ticked) return;
  // No song, no voices, and its tail died away: nothing to render until the next song.
  if (!quietGate_.ShouldRender(synth_->SongOpen(), ticked->ActiveVoices())) return;
  // Allocates only if the device asks for more than it said it would.
  if (render_.size() < 2 * size_t(frames)) render_.resize(2 * size_t(frames));
  ticked->Render(render_.data(), frames, ticker_);
  quietGate_.Rendered(synth_->SongOpen(), ticked->ActiveVoices(), render_.data(), size_t(frames));
  synthSounding_.store(!quietGate_.Quiet(), std::memory_order_release);
  const uint32_t volume = volumes_[size_t(VolumeLine::Midi)];
  const float left = Gain(volume, 0) * 32767.0f;
  const float right = Gain(volume, 1) * 32767.0f;
  for (int i = 0; i < frames; ++i) {
    out[2 * i] = Saturate(out[2 * i] + render_[2 * i] * left);
    out[2 * i + 1] = Saturate(out[2 * i + 1] + render_[2 * i + 1] * right);
  }
}

void SdlAudio::RunTickerThread() {
  using Clock = std::chrono::steady_clock;
  auto next = Clock::now();
  while (!tickerThreadStop_) {
    next += std::chrono::milliseconds(1);
    std::this_thread::sleep_until(next);
    // After a long stall (a suspended machine) start afresh rather than race to catch up.
    if (Clock::now() - next > std::chrono::seconds(1)) next = Clock::now();
    std::lock_guard lock(tickerMutex_);
    if (ticker_) ticker_();
  }
}

// --- sound effect ------------------------------------------------------------------------

void SdlAudio::PreloadSynthesizer() {
  if (synth_) synth_->Preload();
}

// A paused SDL device still wakes its thread for every block, to hand the driver silence:
// about 43 times a second, most of an idle player's CPU. So a pause also holds the device's
// lock, which parks that thread until the next sound. Pausing and waking happen on the game's
// thread (the audio thread meets Wake only while the device runs, when it does nothing), and
// the lock is the game thread's own, taken again by SDL_mixer's calls from it.
void SdlAudio::Wake() {
  if (!paused_) return;
  paused_ = false;
  // Unpaused before the thread goes on, so that the block it makes first carries the sound.
  SDL_PauseAudioDevice(device_, 0);
  SDL_UnlockAudioDevice(device_);
}

void SdlAudio::PauseWhenSilent() {
  if (paused_ || device_ == 0) return;
  const bool synthBusy = synth_ && (synth_->SongOpen() || synthSounding_.load(std::memory_order_acquire));
  // A song sent to a port or nowhere keeps time on a thread of its own, not the device's.
  if (synthBusy || Mix_Playing(-1) != 0 || Mix_PlayingMusic() != 0) return;
  paused_ = true;
  // Locked first: the thread never sees the pause, so it never hands the driver a block of
  // silence of its own making.
  SDL_LockAudioDevice(device_);
  SDL_PauseAudioDevice(device_, 1);
}

bool SdlAudio::PlayWave(Bytes waveFile, bool loop) {
  StopWave();
  if (!deviceOpen_ || !ParseWaveFile(waveFile)) return false;
  Wake();
  SDL_RWops* source = SDL_RWFromConstMem(waveFile.data(), int(waveFile.size()));
  if (!source) return false;
  wave_ = Mix_LoadWAV_RW(source, 1);  // decodes into a buffer of its own
  if (!wave_) return false;
  // Effects leave a channel when it finishes, so the gain goes on with every play.
  Mix_RegisterEffect(kWaveChannel, WaveGain, nullptr, this);
  if (Mix_PlayChannel(kWaveChannel, wave_, loop ? -1 : 0) < 0) {
    StopWave();
    return false;
  }
  return true;
}

void SdlAudio::StopWave() {
  if (!deviceOpen_) return;
  Mix_HaltChannel(kWaveChannel);
  if (wave_) Mix_FreeChunk(wave_);
  wave_ = nullptr;
}

bool SdlAudio::WavePlaying() { return deviceOpen_ && Mix_Playing(kWaveChannel) != 0; }

void SdlAudio::WaveGain(int, void* stream, int length, void* self) {
  const uint32_t volume = static_cast<SdlAudio*>(self)->volumes_[size_t(VolumeLine::Wave)];
  if (volume == 0xFFFFFFFF) return;
  const float left = Gain(volume, 0);
  const float right = Gain(volume, 1);
  auto* samples = static_cast<int16_t*>(stream);
  for (int i = 0; i + 1 < length / 2; i += 2) {
    samples[i] = int16_t(float(samples[i]) * left);
    samples[i + 1] = int16_t(float(samples[i + 1]) * right);
  }
}

// --- tracks ------------------------------------------------------------------------------

bool SdlAudio::PlayTrack(const std::filesystem::path& file, TrackEnd onEnd) {
  StopTrack();
  if (!deviceOpen_) return false;
  Wake();
  music_ = Mix_LoadMUS(file.c_str());
  return StartTrack(std::move(onEnd));
}

bool SdlAudio::PlayRawTrack(std::vector<RawAudioSpan> spans, TrackEnd onEnd) {
  StopTrack();
  if (!deviceOpen_) return false;
  Wake();
  SDL_RWops* stream = OpenRawAudioAsWave(spans);
  if (!stream) return false;
  music_ = Mix_LoadMUSType_RW(stream, MUS_WAV, 1);  // closes the stream, now or with the music
  return StartTrack(std::move(onEnd));
}

bool SdlAudio::StartTrack(TrackEnd onEnd) {
  if (!music_) return false;
  if (Mix_PlayMusic(music_, 0) < 0) {
    StopTrack();
    return false;
  }
  onTrackEnd_ = std::move(onEnd);
  trackStartMs_ = SDL_GetTicks();
  return true;
}

void SdlAudio::StopTrack() {
  onTrackEnd_ = nullptr;
  if (!deviceOpen_) return;
  // Halting calls the finished hook too; that is not an end of the track.
  haltingMusic_ = true;
  Mix_HaltMusic();
  haltingMusic_ = false;
  trackEnded_ = false;
  if (music_) Mix_FreeMusic(music_);
  music_ = nullptr;
}

bool SdlAudio::TrackPlaying() { return deviceOpen_ && music_ && Mix_PlayingMusic() != 0; }

void SdlAudio::MusicFinished() {
  SdlAudio* audio = g_openAudio;
  if (audio && !audio->haltingMusic_) {
    audio->trackEndMs_ = SDL_GetTicks();
    audio->trackEnded_ = true;
    // Wakes the main loop, which hands the end to the game (Pump) without waiting for a timer.
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;
    SDL_PushEvent(&wake);
  }
}

void SdlAudio::Pump() {
  if (synth_ && lateProblems_ && synth_->Started()) {
    if (const std::vector<std::string> lines = synth_->TakeProblems(); !lines.empty())
      lateProblems_(lines, !synth_->WillSound());
  }
  if (trackEnded_.exchange(false)) {
    // The callback may start the next track, which brings its own callback.
    if (auto onEnd = std::exchange(onTrackEnd_, nullptr)) onEnd(trackEndMs_.load() - trackStartMs_);
  }
  PauseWhenSilent();
}

// --- volumes -----------------------------------------------------------------------------

bool SdlAudio::GetVolume(VolumeLine line, uint32_t& volume) {
  volume = volumes_[size_t(line)];
  return true;
}

void SdlAudio::SetVolume(VolumeLine line, uint32_t volume) {
  volumes_[size_t(line)] = volume;
  if (line == VolumeLine::Cd && deviceOpen_) {
    const uint32_t louder = std::max(volume & 0xFFFF, volume >> 16);
    Mix_VolumeMusic(int(louder * MIX_MAX_VOLUME / 0xFFFF));
  }
}

}  // namespace orv
