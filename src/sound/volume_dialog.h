#pragma once
// The volume dialog's logic: one slider and one mute box for each of the wave, MIDI and CD
// lines, changing the player's own volumes the moment they move. A slider position p stands
// for p x 6500 in both channels (10 gives 65000, not 65535); a volume v shows as the position
// (left channel of v) / 6500. A new dialog is made for each opening, so its mute boxes start
// unticked and its sliders start from the volumes as they are (a muted line shows 0).
#include <array>
#include <cstdint>

#include "platform/audio.h"
#include "platform/volume_controls.h"

namespace orv {

class VolumeDialog final : public VolumeControls {
 public:
  static constexpr uint32_t kChannelStep = 6500;

  // Reads the three volumes; a line whose volume cannot be read has its controls disabled.
  explicit VolumeDialog(AudioOut& audio);

  Line Get(VolumeLine line) const override;
  void MoveSlider(VolumeLine line, int position) override;
  void SetMuted(VolumeLine line, bool muted) override;

  // The "終了" menu.
  void Close() { open_ = false; }
  bool IsOpen() const { return open_; }

  static int PositionOf(uint32_t volume);
  static uint32_t VolumeOf(int position);

 private:
  struct LineState {
    uint32_t holder = 0;  // the volume the line has when it is not muted
    int position = 5;
    bool muted = false;
    bool readable = false;
  };
  LineState& At(VolumeLine line) { return lines_[size_t(line)]; }
  const LineState& At(VolumeLine line) const { return lines_[size_t(line)]; }

  AudioOut& audio_;
  std::array<LineState, 3> lines_;
  bool open_ = true;
};

}  // namespace orv
