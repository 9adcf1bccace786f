#pragma once
// The game's sound: one sound effect, background music through the sequencer, and CD tracks
// played from ripped track files or a disc image; and the device volumes, which the player changes and puts
// back as they were when it closes.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/audio.h"
#include "platform/bytes.h"
#include "sound/cd_track_source.h"
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
  // Where the CD's tracks come from: the image given (a cue sheet), else the ripped track
  // files in the game folder, else a cue sheet found where they would be. An image given is
  // opened now; the others are looked for at the first track the game plays, as most games
  // play none and a folder of hundreds of pictures takes a while to walk. What stands in the
  // way is one line for the person running the player: returned now, or handed to the notes
  // when found at the first track. A sheet that cannot be used leaves the game without CD
  // music.
  std::string PrepareCd(const std::optional<std::filesystem::path>& cueSheet);
  void SetNotes(std::function<void(std::string_view)> notes) { notes_ = std::move(notes); }
  // Keeps the three volumes as they are now, to put back at close.
  void KeepDeviceVolumes();
  void RestoreDeviceVolumes();

  // Plays the wave of that name from the wave package or the folder; flag 0 loops.
  void PlayWave(std::string_view name, int32_t flag);
  void StopWave();
  // Plays a CD track; a track that ends by itself starts again while the scene's CD mode is 1.
  void PlayCdTrack(int32_t track);
  void StopCd();
  // The sound effect, the music and the CD track stop.
  void StopAll();
  // Plays again what the scene record says was playing at its save point: the music from its
  // start with its loop setting, a looping sound effect, the CD track. A one-shot effect is
  // over and stays so.
  void ResumeScene();
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
  std::string FindCdTracks();
  std::string OpenCdImage(const std::filesystem::path& sheet);

  std::unique_ptr<CdTrackSource> cdTracks_;
  bool cdLookedFor_ = false;
  std::function<void(std::string_view)> notes_;
  uint32_t savedVolumes_[3] = {0, 0, 0};
  bool haveSavedVolumes_[3] = {false, false, false};
};

}  // namespace orv
