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

// Where a chain of symbolic links ends (the path itself when it is none); a loop or a chain too
// long to be real ends where it is.
fs::path LinkTarget(fs::path path) {
  constexpr int kMostLinks = 40;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) return path;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
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
  session.lastStored_ = session.settings_;
  if (!session.file_.problem.empty()) Say(messages, file, session.file_.problem);
  return session;
}

void SettingsSession::ApplyTo(Player& player, AudioOut& audio) {
  for (const auto& [line, field] : kVolumeFields)
    if (const std::optional<uint32_t>& volume = settings_.*field) audio.SetVolume(line, *volume);
  player.SetAutoDelays(settings_.autoDelays);
  if (settings_.speech && !player.SpeechOn()) player.SetSpeechOn(true);
  speechAtStart_ = player.SpeechOn();
  // The port is the menu's to turn on later even when the socket stays off now.
  player.textSocket().Set(settings_.textSocket, settings_.textSocketPort);
}

void SettingsSession::GatherFrom(Player& player, AudioOut& audio) {
  // The volumes as the player set them, not as the device has them now: closing the game puts
  // the device's own volumes back.
  for (const auto& [line, field] : kVolumeFields)
    if (const std::optional<uint32_t> chosen = player.ChosenVolume(line)) settings_.*field = *chosen;
  settings_.autoDelays = player.AutoDelays();
  if (player.SpeechOn() != speechAtStart_) settings_.speech = player.SpeechOn();
  if (const std::optional<bool> chosen = player.textSocket().chosen()) {
    settings_.textSocket = *chosen;
    // A socket that could not start keeps the port the file named.
    if (*chosen) settings_.textSocketPort = player.textSocket().port();
  }
}

bool SettingsSession::Save(std::FILE* messages) const {
  if (!path_ || !writable_) return false;
  const std::string text = file_.Serialize(settings_);
  if (!file_.text().empty() && text == file_.text()) return true;  // nothing the player changed
  // The path may be a link the user made (a settings file kept with their other dotfiles, say):
  // the file it leads to is the one to update, and the link stays.
  const fs::path target = LinkTarget(*path_);
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  const Result<void> written = WriteFileAtomically(target, AsBytes(text));
  if (!written) Say(messages, target, "could not be written: " + written.error().message);
  return written.ok();
}

bool SettingsSession::SaveIfChanged(std::FILE* messages) {
  if (settings_ == lastStored_ || !path_ || !writable_) return true;
  // Taken as stored even when the write fails: the same failure each turn would only repeat
  // its message; the next change tries again.
  lastStored_ = settings_;
  return Save(messages);
}

}  // namespace orv
