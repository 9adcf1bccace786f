#pragma once
// The game's sound: one sound effect, background music through the sequencer, and CD tracks
// played from ripped track files; and the device volumes, which the player changes and puts
// back as they were when it closes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/audio.h"
#include "platform/bytes.h"
#include "sound/cd_tracks.h"
#include "sound/midi_player.h"

namespace orv {

class GameFolder;
struct SceneState;

class SoundSystem {
 public:
  SoundSystem(AudioOut& audio, const GameFolder& folder, const SceneState& scene);

  // As a new sound system: no packages, no song, no tracks, no volumes kept. What plays on
  // the device is left to its owner.
  void Reset();

  // The packages init.def names.
  void Prepare(std::string wavePackage, std::string musicPackage);
  // Keeps the three volumes as they are now, to put back at close.
  void KeepDeviceVolumes();
  void RestoreDeviceVolumes();

  // Plays the wave of that name from the wave package or the folder; flag 0 loops.
  void PlayWave(std::string_view name, int32_t flag);
  void StopWave();
  // Plays a CD track; a track that ends by itself starts again while the scene's CD mode is 1.
  void PlayCdTrack(int32_t track);
  void StopCd();
  // The song of that name from the music package or the folder; nothing when missing.
  std::optional<Bytes> ReadSong(std::string_view name) const;

  MidiPlayer& music() { return *midiPlayer_; }
  const MidiPlayer& music() const { return *midiPlayer_; }
  AudioOut& audio() { return audio_; }

 private:
  AudioOut& audio_;
  const GameFolder& folder_;
  const SceneState& scene_;
  std::string wavePackage_, musicPackage_;
  std::unique_ptr<MidiPlayer> midiPlayer_;
  // Looked for at the first track a game plays: most games have none, and a folder of
  // hundreds of pictures takes a while to walk.
  std::optional<CdTrackSet> cdTracks_;
  uint32_t savedVolumes_[3] = {0, 0, 0};
  bool haveSavedVolumes_[3] = {false, false, false};
};

}  // namespace orv
