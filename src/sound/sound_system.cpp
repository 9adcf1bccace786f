#include "sound/sound_system.h"

#include "persist/scene_state.h"
#include "platform/game_folder.h"
#include "script/package_file.h"

namespace orv {

namespace {

// A member of the package, else the plain file of that name.
std::optional<Bytes> ReadFromPackageOrFile(const GameFolder& folder, std::string_view package, std::string_view name) {
  if (auto opened = PackageFile::Open(folder, package)) {
    if (FindPackageEntry(opened->directory(), name) >= 0) {
      if (auto bytes = opened->ReadMember(name)) return std::move(*bytes);
    }
  }
  return folder.ReadAll(name);
}

// A track that ends this soon after it started is not repeated: a broken or empty track
// file must not restart forever.
constexpr uint32_t kShortestRepeatedTrackMs = 50;

constexpr VolumeLine kLines[3] = {VolumeLine::Wave, VolumeLine::Midi, VolumeLine::Cd};

}  // namespace

SoundSystem::SoundSystem(AudioOut& audio, const GameFolder& folder, const SceneState& scene)
    : audio_(audio), folder_(folder), scene_(scene), midiPlayer_(std::make_unique<MidiPlayer>(audio)) {}

void SoundSystem::Reset() {
  wavePackage_.clear();
  musicPackage_.clear();
  // The old player hands the device's ticker back before the new one takes it.
  midiPlayer_.reset();
  midiPlayer_ = std::make_unique<MidiPlayer>(audio_);
  cdTracks_.reset();
  for (int i = 0; i < 3; ++i) {
    savedVolumes_[i] = 0;
    haveSavedVolumes_[i] = false;
  }
}

void SoundSystem::Prepare(std::string wavePackage, std::string musicPackage) {
  wavePackage_ = std::move(wavePackage);
  musicPackage_ = std::move(musicPackage);
  cdTracks_.reset();
}

void SoundSystem::KeepDeviceVolumes() {
  for (int i = 0; i < 3; ++i) haveSavedVolumes_[i] = audio_.GetVolume(kLines[i], savedVolumes_[i]);
}

void SoundSystem::RestoreDeviceVolumes() {
  for (int i = 0; i < 3; ++i)
    if (haveSavedVolumes_[i]) audio_.SetVolume(kLines[i], savedVolumes_[i]);
}

void SoundSystem::PlayWave(std::string_view name, int32_t flag) {
  auto bytes = ReadFromPackageOrFile(folder_, wavePackage_, name);
  if (!bytes) return;
  audio_.PlayWave(std::move(*bytes), flag == 0);
}

void SoundSystem::StopWave() { audio_.StopWave(); }

void SoundSystem::PlayCdTrack(int32_t track) {
  if (!cdTracks_) cdTracks_ = CdTrackSet::Scan(folder_);
  auto file = cdTracks_->FileFor(track & 0xFF);
  if (!file) return;
  audio_.PlayTrack(*file, [this](uint32_t playedMs) {
    // The completion notification: only a track that ended by itself repeats.
    if (scene_.cdMode == 1 && playedMs >= kShortestRepeatedTrackMs) PlayCdTrack(scene_.cdTrack);
  });
}

void SoundSystem::StopCd() { audio_.StopTrack(); }

std::optional<Bytes> SoundSystem::ReadSong(std::string_view name) const {
  return ReadFromPackageOrFile(folder_, musicPackage_, name);
}

}  // namespace orv
