#include "platform/sdl/fluidsynth_output.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <vector>

#include "platform/bytes.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// Where Linux distributions put a General MIDI SoundFont, best first.
constexpr std::array kSystemSoundFonts = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/soundfonts/default.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf2", "/usr/share/sounds/sf2/FluidR3_GS.sf2",
};

std::vector<fs::path> SoundFontsInFolder(const fs::path& folder) {
  std::vector<fs::path> fonts;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec) && AsciiUpper(it->path().extension().string()) == ".SF2") fonts.push_back(it->path());
  std::sort(fonts.begin(), fonts.end());
  return fonts;
}

// The music's loudness: at FluidSynth's own default (0.2) a General MIDI song averages about
// -34 dBFS, far below the sound effects a game plays beside it; at 0.6 about -24 dBFS, its
// peaks level with theirs.
constexpr double kSynthGain = 0.6;

}  // namespace

std::vector<FluidSynthOutput::SoundFontCandidate> FluidSynthOutput::SoundFontCandidates(
    const fs::path& explicitFont, const fs::path& gameFolder, std::string_view sdlSoundFonts,
    std::string_view explicitOrigin) {
  std::vector<SoundFontCandidate> candidates;
  if (!explicitFont.empty()) candidates.push_back({explicitFont, std::string(explicitOrigin)});
  if (!gameFolder.empty())
    for (fs::path& font : SoundFontsInFolder(gameFolder)) candidates.push_back({std::move(font), "the game folder"});
  while (!sdlSoundFonts.empty()) {
    const size_t end = std::min(sdlSoundFonts.find(':'), sdlSoundFonts.find(';'));
    const std::string_view entry = sdlSoundFonts.substr(0, end);
    if (!entry.empty()) candidates.push_back({fs::path(entry), "SDL_SOUNDFONTS"});
    sdlSoundFonts = end == std::string_view::npos ? std::string_view() : sdlSoundFonts.substr(end + 1);
  }
  for (const char* font : kSystemSoundFonts) {
    std::error_code ec;
    if (fs::is_regular_file(font, ec)) candidates.push_back({fs::path(font), "the system"});
  }
  return candidates;
}

bool FluidSynthOutput::LooksLikeSoundFont(const fs::path& file) { return fluid_is_soundfont(file.c_str()) != 0; }

std::optional<fs::path> FluidSynthOutput::FindSoundFont(const fs::path& explicitFont, const fs::path& gameFolder) {
  for (const SoundFontCandidate& candidate : SoundFontCandidates(explicitFont, gameFolder, {})) {
    std::error_code ec;
    if (fs::is_regular_file(candidate.file, ec)) return candidate.file;
  }
  return std::nullopt;
}

FluidSynthOutput::FluidSynthOutput(double sampleRate, const std::optional<fs::path>& soundFont) {
  settings_ = new_fluid_settings();
  if (!settings_) return;
  fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
  // Samples are read from the SoundFont when a program first needs them, so that a large
  // General MIDI font costs only the instruments a song uses.
  fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
  fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
  synth_ = new_fluid_synth(settings_);
  if (soundFont) LoadSoundFont(*soundFont);
}

bool FluidSynthOutput::LoadSoundFont(const fs::path& file) {
  if (!synth_) return false;
  if (fontId_ != FLUID_FAILED) fluid_synth_sfunload(synth_, fontId_, 1);
  fontId_ = fluid_synth_sfload(synth_, file.c_str(), 1);
  return fontId_ != FLUID_FAILED;
}

FluidSynthOutput::~FluidSynthOutput() {
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
}

void FluidSynthOutput::Render(float* interleaved, int frames) {
  if (!synth_) {
    std::fill(interleaved, interleaved + 2 * frames, 0.0f);
    return;
  }
  fluid_synth_write_float(synth_, frames, interleaved, 0, 2, interleaved, 1, 2);
}

void FluidSynthOutput::ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
  if (!synth_) return;
  const int channel = status & 0x0F;
  data1 &= 0x7F;
  data2 &= 0x7F;
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth_, channel, data1); break;
    case 0x90: fluid_synth_noteon(synth_, channel, data1, data2); break;  // velocity 0: off
    case 0xA0: fluid_synth_key_pressure(synth_, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth_, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth_, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth_, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth_, channel, data1 | data2 << 7); break;
    default: break;  // system messages mean nothing to a synthesizer here
  }
}

void FluidSynthOutput::LongMessage(ByteSpan bytes) {
  if (!synth_ || bytes.empty() || bytes.front() != 0xF0) return;
  // FluidSynth wants the bytes between F0 and F7.
  ByteSpan body = bytes.subspan(1);
  if (!body.empty() && body.back() == 0xF7) body = body.first(body.size() - 1);
  if (body.empty()) return;
  fluid_synth_sysex(synth_, reinterpret_cast<const char*>(body.data()), int(body.size()), nullptr, nullptr, nullptr, 0);
}

void FluidSynthOutput::Reset() {
  if (synth_) fluid_synth_system_reset(synth_);
}

void FluidSynthOutput::Close() {
  if (synth_) fluid_synth_all_sounds_off(synth_, -1);
}

}  // namespace orv
