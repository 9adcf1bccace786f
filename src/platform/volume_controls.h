#pragma once
// The volume dialog as a backend shows it: three lines (wave, MIDI, CD), each a vertical
// slider from 0 to 10 and a mute box. The game owns what the controls mean; the backend draws
// them and passes on what the player does, until the player closes the dialog.
#include "platform/audio.h"

namespace orv {

class VolumeControls {
 public:
  static constexpr int kMaxPosition = 10;

  struct Line {
    int position = 5;
    bool muted = false;
    bool sliderEnabled = true;  // false while muted, or when the line has no volume
    bool muteEnabled = true;    // false when the line has no volume
  };

  virtual ~VolumeControls() = default;
  virtual Line Get(VolumeLine line) const = 0;
  // The player moved a slider to `position` (0 .. kMaxPosition) or ticked or unticked a mute
  // box. Controls that are not enabled ignore it.
  virtual void MoveSlider(VolumeLine line, int position) = 0;
  virtual void SetMuted(VolumeLine line, bool muted) = 0;
};

}  // namespace orv
