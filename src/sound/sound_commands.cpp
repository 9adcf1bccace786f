// The sound commands: a sound effect, background music through the sequencer, and CD tracks
// played from ripped track files. Each records what plays in the scene record so that a
// loaded game can start the same sound again.
#include "app/form.h"
#include "logic/inline_forms.h"
#include "script/package_file.h"

namespace orv {

namespace {

// A member of the package, else the plain file of that name.
std::optional<Bytes> ReadFromPackageOrFile(const GameFolder& folder, std::string_view package, std::string_view name) {
  if (auto opened = PackageFile::Open(folder, package)) {
    if (FindPackageEntry(opened->directory(), name) >= 0) {
      if (auto bytes = opened->ReadMember(name)) return bytes;
    }
  }
  return folder.ReadAll(name);
}

// A track that ends this soon after it started is not repeated: a broken or empty track
// file must not restart forever.
constexpr uint32_t kShortestRepeatedTrackMs = 50;

// Reads a quoted file name, then the ignored number up to the first comma, then the flag.
std::string ReadNameAndSkip(TForm1& form) {
  std::string name = form.reader.ReadFileNameArgument();
  ReadNumberArgument(form);
  return name;
}

}  // namespace

void TForm1::PlayWave(int32_t flag) {
  auto bytes = ReadFromPackageOrFile(folder(), defs.wavePackageName, scene.waveName.str());
  if (!bytes) return;
  services.audio.PlayWave(std::move(*bytes), flag == 0);
}

void TForm1::StopWave() { services.audio.StopWave(); }

void TForm1::PlayCdTrack() {
  auto file = cdTracks.FileFor(scene.cdTrack & 0xFF);
  if (!file) return;
  cdStartedMs = clock().NowMs();
  services.audio.PlayTrack(*file, [this] {
    // The completion notification: only a track that ended by itself repeats.
    if (scene.cdMode == 1 && clock().NowMs() - cdStartedMs >= kShortestRepeatedTrackMs) PlayCdTrack();
  });
}

void TForm1::StopCd() {
  services.audio.StopTrack();
  scene.cdMode = -1;
}

bool CmdWaveplay(TForm1& form) {
  form.scene.waveName.Set(ReadNameAndSkip(form));
  form.scene.waveMode = ReadNumberArgument(form);
  form.PlayWave(form.scene.waveMode);
  return true;
}

bool CmdWavestop(TForm1& form) {
  form.StopWave();
  form.scene.waveMode = -1;
  form.scene.waveName.Clear();
  return true;
}

bool CmdMidiplay(TForm1& form) {
  form.scene.musicName.Set(ReadNameAndSkip(form));
  const int32_t flag = ReadNumberArgument(form);
  form.midiPlayer->LoadSong(
      ReadFromPackageOrFile(form.folder(), form.defs.musicPackageName, form.scene.musicName.str()));
  if (flag != 0 && flag != 1) {
    form.ShowMessage(Sj("フラグが不正です。"));
    return false;
  }
  form.midiPlayer->SetLoop(flag == 1);
  form.midiPlayer->PlayFromStart();
  form.scene.musicMode = flag == 1 ? 2 : 1;
  return true;
}

bool CmdMidistop(TForm1& form) {
  form.scene.musicMode = 0;
  form.scene.musicName.Clear();
  form.midiPlayer->StopPlayback();
  return true;
}

bool CmdCdplay(TForm1& form) {
  form.scene.cdTrack = ReadNumberArgument(form);
  form.scene.cdMode = ReadNumberArgument(form);
  form.PlayCdTrack();
  return true;
}

bool CmdCdstop(TForm1& form) {
  form.StopCd();
  return true;
}

}  // namespace orv
