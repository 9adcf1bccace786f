#pragma once
// The built-in General MIDI synthesizer: FluidSynth with a SoundFont, rendered by whoever
// owns the audio stream (SdlAudio mixes it into SDL_mixer's output; the benchmark renders
// it offline).
#include <filesystem>
#include <optional>

#include <fluidsynth.h>

#include "platform/audio/midi_output.h"

namespace orv {

class FluidSynthOutput final : public MidiOutput {
 public:
  // The SoundFont to use: `explicitFont` when given, else the first .sf2 file in the game
  // folder, else the system's General MIDI SoundFont. Nothing when there is none at all.
  static std::optional<std::filesystem::path> FindSoundFont(const std::filesystem::path& explicitFont,
                                                            const std::filesystem::path& gameFolder);

  // A synthesizer at this sample rate. Without a usable SoundFont it still takes messages,
  // and renders silence.
  FluidSynthOutput(double sampleRate, const std::optional<std::filesystem::path>& soundFont);
  ~FluidSynthOutput() override;
  FluidSynthOutput(const FluidSynthOutput&) = delete;
  FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

  bool HasSoundFont() const { return fontId_ != FLUID_FAILED; }

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
