#include "sound/sound_system.h"

#include "persist/scene_state.h"
#include "platform/game_folder.h"
#include "script/package_file.h"
#include "sound/cd_image.h"
#include "sound/cd_tracks.h"

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
  cdLookedFor_ = false;
  for (int i = 0; i < 3; ++i) {
    savedVolumes_[i] = 0;
    haveSavedVolumes_[i] = false;
  }
}

void SoundSystem::Prepare(std::string wavePackage, std::string musicPackage) {
  wavePackage_ = std::move(wavePackage);
  musicPackage_ = std::move(musicPackage);
}

std::string SoundSystem::PrepareCd(const std::optional<std::filesystem::path>& cueSheet) {
  cdTracks_.reset();
  cdLookedFor_ = cueSheet.has_value();
  return cueSheet ? OpenCdImage(*cueSheet) : std::string();
}

std::string SoundSystem::FindCdTracks() {
  auto ripped = std::make_unique<CdTrackSet>(CdTrackSet::Scan(folder_));
  if (ripped->TrackCount() > 0) {
    cdTracks_ = std::move(ripped);
    return {};
  }
  const std::optional<std::filesystem::path> sheet = FindCueSheet(folder_);
  return sheet ? OpenCdImage(*sheet) : std::string();
}

std::string SoundSystem::OpenCdImage(const std::filesystem::path& sheet) {
  const std::filesystem::path where = sheet.has_parent_path() ? sheet.parent_path() : ".";
  Result<CdImage> image = CdImage::Open(GameFolder(where), sheet.filename().string());
  const std::string heading = "CD image " + sheet.string() + ": ";
  if (!image) return heading + image.error().message + "; no CD music";
  const std::string problems = image->Problems();
  cdTracks_ = std::make_unique<CdImage>(std::move(*image));
  return problems.empty() ? std::string() : heading + problems;
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
  if (!cdLookedFor_) {
    cdLookedFor_ = true;
    if (const std::string problem = FindCdTracks(); !problem.empty() && notes_) notes_(problem);
  }
  auto source = cdTracks_ ? cdTracks_->Track(track & 0xFF) : std::nullopt;
  if (!source) return;
  auto onEnd = [this](uint32_t playedMs) {
    // The completion notification: only a track that ended by itself repeats.
    if (scene_.cdMode == 1 && playedMs >= kShortestRepeatedTrackMs) PlayCdTrack(scene_.cdTrack);
  };
  if (auto* file = std::get_if<std::filesystem::path>(&*source))
    audio_.PlayTrack(*file, std::move(onEnd));
  else
    audio_.PlayRawTrack(std::get<std::vector<RawAudioSpan>>(std::move(*source)), std::move(onEnd));
}

void SoundSystem::StopCd() { audio_.StopTrack(); }

std::optional<Bytes> SoundSystem::ReadSong(std::string_view name) const {
  return ReadFromPackageOrFile(folder_, musicPackage_, name);
}

void SoundSystem::StopAll() {
  StopWave();
  midiPlayer_->StopPlayback();
  StopCd();
}

void SoundSystem::ResumeScene() {
  if (scene_.musicMode != 0) {
    midiPlayer_->SetLoop(scene_.musicMode - 1 != 0);
    midiPlayer_->LoadSong(ReadSong(scene_.musicName.str()));
    midiPlayer_->PlayFromStart();
  }
  if (scene_.waveMode == 0) PlayWave(scene_.waveName.str(), 0);
  if (scene_.cdMode == 1) PlayCdTrack(scene_.cdTrack);
}

}  // namespace orv
