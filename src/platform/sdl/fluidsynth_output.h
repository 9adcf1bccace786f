#pragma once
// The built-in General MIDI synthesizer: FluidSynth with a SoundFont, rendered by whoever
// owns the audio stream (SdlAudio mixes it into SDL_mixer's output; the benchmark renders
// it offline).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fluidsynth.h>

#include "platform/audio/midi_output.h"

namespace orv {

class FluidSynthOutput final : public MidiOutput {
 public:
  struct SoundFontCandidate {
    std::filesystem::path file;
    std::string origin;  // where it came from, for messages: "--soundfont", "SDL_SOUNDFONTS", ...
  };
  // The SoundFonts to try, best first: `explicitFont` when given (named in messages as coming
  // from `explicitOrigin`), the .sf2 files of the game folder, those `sdlSoundFonts` lists
  // (SDL_mixer's variable: paths separated by ':' or ';'), then the system's General MIDI
  // SoundFonts that exist.
  static std::vector<SoundFontCandidate> SoundFontCandidates(const std::filesystem::path& explicitFont,
                                                             const std::filesystem::path& gameFolder,
                                                             std::string_view sdlSoundFonts,
                                                             std::string_view explicitOrigin = "--soundfont");
  // Whether the file starts as a SoundFont does (a quick look at its header, not a load).
  static bool LooksLikeSoundFont(const std::filesystem::path& file);
  // The first candidate that exists as a file. Nothing when there is none at all.
  static std::optional<std::filesystem::path> FindSoundFont(const std::filesystem::path& explicitFont,
                                                            const std::filesystem::path& gameFolder);

  // A synthesizer at this sample rate. Without a usable SoundFont it still takes messages,
  // and renders silence.
  FluidSynthOutput(double sampleRate, const std::optional<std::filesystem::path>& soundFont);
  // Replaces the SoundFont; false (and none loaded) when FluidSynth cannot read the file.
  bool LoadSoundFont(const std::filesystem::path& file);
  ~FluidSynthOutput() override;
  FluidSynthOutput(const FluidSynthOutput&) = delete;
  FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

  bool HasSoundFont() const { return fontId_ != FLUID_FAILED; }
  // Voices still sounding (a released note's decay included).
  int ActiveVoices() const { return synth_ ? fluid_synth_get_active_voice_count(synth_) : 0; }

  // Renders `frames` stereo frames, interleaved, in the range -1..1 (the synthesizer's own
  // gain applied).
  void Render(float* interleaved, int frames);

  bool Open() override { return synth_ != nullptr; }
  void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
  void LongMessage(ByteSpan bytes) override;
  void Reset() override;
  void Close() override;

 private:
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  int fontId_ = FLUID_FAILED;
};

}  // namespace orv
