#include "app/settings_session.h"

#include <system_error>

#include "app/player.h"
#include "platform/game_folder.h"
#include "platform/os.h"

namespace orv {

namespace fs = std::filesystem;

namespace {
void Say(std::FILE* messages, const fs::path& path, const std::string& what) {
  if (messages) std::fprintf(messages, "orvane: settings file %s: %s\n", path.c_str(), what.c_str());
}

constexpr std::pair<VolumeLine, std::optional<uint32_t> PlayerSettings::*> kVolumeFields[] = {
    {VolumeLine::Wave, &PlayerSettings::waveVolume},
    {VolumeLine::Midi, &PlayerSettings::midiVolume},
    {VolumeLine::Cd, &PlayerSettings::cdVolume},
};
}  // namespace

SettingsSession SettingsSession::Open(std::optional<fs::path> path, std::FILE* messages) {
  SettingsSession session;
  session.path_ = std::move(path);
  if (!session.path_) return session;
  const fs::path& file = *session.path_;
  std::error_code ec;
  if (!fs::exists(file, ec)) return session;  // a first run: the defaults, written at exit
  std::optional<Bytes> bytes = ReadFileBytes(file, size_t(1) << 20);
  if (!bytes) {
    Say(messages, file, "cannot be read (or is larger than 1 MB); the player's defaults are used and it is left as it is");
    session.writable_ = false;
    return session;
  }
  Result<SettingsFile> parsed =
      SettingsFile::Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!parsed) {
    Say(messages, file, parsed.error().message + "; the player's defaults are used and the file is left as it is");
    session.writable_ = false;
    return session;
  }
  session.file_ = std::move(*parsed);
  session.settings_ = session.file_.settings;
  if (!session.file_.problem.empty()) Say(messages, file, session.file_.problem);
  return session;
}

void SettingsSession::ApplyTo(Player& player, AudioOut& audio) {
  for (const auto& [line, field] : kVolumeFields)
    if (const std::optional<uint32_t>& volume = settings_.*field) audio.SetVolume(line, *volume);
  player.autoAdvance.delays = settings_.autoDelays;
  if (settings_.speech && !player.SpeechOn()) player.SetSpeechOn(true);
  speechAtStart_ = player.SpeechOn();
}

void SettingsSession::GatherFrom(Player& player, AudioOut& audio) {
  for (const auto& [line, field] : kVolumeFields) {
    uint32_t volume = 0;
    if (audio.GetVolume(line, volume)) settings_.*field = volume;
  }
  settings_.autoDelays = player.autoAdvance.delays;
  if (player.SpeechOn() != speechAtStart_) settings_.speech = player.SpeechOn();
}

bool SettingsSession::Save(std::FILE* messages) const {
  if (!path_ || !writable_) return false;
  std::error_code ec;
  fs::create_directories(path_->parent_path(), ec);
  const std::string text = file_.Serialize(settings_);
  const OsStatus written =
      WriteFileAtomically(*path_, AsBytes(text));
  if (!written) Say(messages, *path_, "could not be written: " + written.error());
  return written.ok();
}

}  // namespace orv
