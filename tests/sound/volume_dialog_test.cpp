#include "sound/volume_dialog.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/audio/midi_output.h"

namespace orv {
namespace {

// The player's volumes, with every change recorded; a line may have no volume at all.
class FakeAudio final : public AudioOut {
 public:
  bool PlayWave(Bytes, bool) override { return false; }
  void StopWave() override {}
  bool WavePlaying() override { return false; }
  bool PlayTrack(const std::filesystem::path&, TrackEnd) override { return false; }
  bool PlayRawTrack(std::vector<RawAudioSpan>, TrackEnd) override { return false; }
  void StopTrack() override {}
  bool TrackPlaying() override { return false; }
  MidiOutput& Midi() override { return midi; }
  void SetMidiTicker(std::function<void()>) override {}
  bool GetVolume(VolumeLine line, uint32_t& volume) override {
    if (!volumes[size_t(line)]) return false;
    volume = *volumes[size_t(line)];
    return true;
  }
  void SetVolume(VolumeLine line, uint32_t volume) override {
    if (volumes[size_t(line)]) volumes[size_t(line)] = volume;
    sets.push_back({line, volume});
  }

  struct Set {
    VolumeLine line;
    uint32_t volume;
    friend bool operator==(const Set&, const Set&) = default;
  };
  std::optional<uint32_t> volumes[3] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  std::vector<Set> sets;
  NullMidiOutput midi;
};

constexpr VolumeLine kWave = VolumeLine::Wave, kMidi = VolumeLine::Midi, kCd = VolumeLine::Cd;

TEST(VolumeDialog, PositionsAreTheLeftChannelInStepsOf6500) {
  EXPECT_EQ(VolumeDialog::PositionOf(6499), 0);
  EXPECT_EQ(VolumeDialog::PositionOf(6500), 1);
  EXPECT_EQ(VolumeDialog::PositionOf(64999), 9);
  EXPECT_EQ(VolumeDialog::PositionOf(0xFFFF), 10);
  EXPECT_EQ(VolumeDialog::PositionOf(0xFFFF0000), 0);
  EXPECT_EQ(VolumeDialog::VolumeOf(10), 65000u | 65000u << 16);
  EXPECT_EQ(VolumeDialog::VolumeOf(3), 19500u | 19500u << 16);
}

TEST(VolumeDialog, SlidersStartFromTheVolumesAndSetBothChannelsAtOnce) {
  FakeAudio audio;
  audio.volumes[1] = 0x10008000;  // left 32768, right 4096
  audio.volumes[2] = 0;
  VolumeDialog dialog(audio);
  EXPECT_EQ(dialog.Get(kWave).position, 10);
  EXPECT_EQ(dialog.Get(kMidi).position, 5);
  EXPECT_EQ(dialog.Get(kCd).position, 0);
  EXPECT_TRUE(audio.sets.empty());  // opening changes nothing

  dialog.MoveSlider(kWave, 10);  // the same place again still sets
  dialog.MoveSlider(kMidi, 3);
  dialog.MoveSlider(kCd, 25);
  EXPECT_EQ(audio.sets, (std::vector<FakeAudio::Set>{{kWave, 65000u * 0x10001}, {kMidi, 19500u * 0x10001},
                                                      {kCd, 65000u * 0x10001}}));
  EXPECT_EQ(dialog.Get(kCd).position, 10);
}

TEST(VolumeDialog, MuteSilencesAndLocksTheSliderUntilUnticked) {
  FakeAudio audio;
  VolumeDialog dialog(audio);
  dialog.MoveSlider(kMidi, 4);
  dialog.SetMuted(kMidi, true);
  EXPECT_EQ(*audio.volumes[1], 0u);
  EXPECT_FALSE(dialog.Get(kMidi).sliderEnabled);
  dialog.MoveSlider(kMidi, 9);  // a disabled slider does not move
  EXPECT_EQ(dialog.Get(kMidi).position, 4);
  EXPECT_EQ(*audio.volumes[1], 0u);
  dialog.SetMuted(kMidi, false);
  EXPECT_EQ(*audio.volumes[1], 26000u * 0x10001);
  EXPECT_TRUE(dialog.Get(kMidi).sliderEnabled);

  // Muted, closed, opened again: unticked, at 0, enabled; moving the slider brings sound back.
  dialog.SetMuted(kWave, true);
  dialog.Close();
  EXPECT_FALSE(dialog.IsOpen());
  VolumeDialog again(audio);
  const VolumeControls::Line wave = again.Get(kWave);
  EXPECT_FALSE(wave.muted);
  EXPECT_EQ(wave.position, 0);
  EXPECT_TRUE(wave.sliderEnabled);
  again.MoveSlider(kWave, 7);
  EXPECT_EQ(*audio.volumes[0], 45500u * 0x10001);
}

TEST(VolumeDialog, ALineWithoutAVolumeIsDisabledAndNeverSet) {
  FakeAudio audio;
  audio.volumes[2].reset();
  VolumeDialog dialog(audio);
  const VolumeControls::Line cd = dialog.Get(kCd);
  EXPECT_FALSE(cd.sliderEnabled);
  EXPECT_FALSE(cd.muteEnabled);
  dialog.MoveSlider(kCd, 2);
  dialog.SetMuted(kCd, true);
  EXPECT_TRUE(audio.sets.empty());
  EXPECT_FALSE(dialog.Get(kCd).muted);
  EXPECT_TRUE(dialog.Get(kWave).sliderEnabled);
}

}  // namespace
}  // namespace orv
