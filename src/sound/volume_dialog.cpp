#include "sound/volume_dialog.h"

#include <algorithm>

namespace orv {

VolumeDialog::VolumeDialog(AudioOut& audio) : audio_(audio) {
  for (VolumeLine line : {VolumeLine::Wave, VolumeLine::Midi, VolumeLine::Cd}) {
    LineState& state = At(line);
    state.readable = audio_.GetVolume(line, state.holder);
    if (state.readable) state.position = PositionOf(state.holder);
  }
}

int VolumeDialog::PositionOf(uint32_t volume) { return std::min(int((volume & 0xFFFF) / kChannelStep), kMaxPosition); }

uint32_t VolumeDialog::VolumeOf(int position) {
  const uint32_t channel = uint32_t(std::clamp(position, 0, kMaxPosition)) * kChannelStep;
  return channel | channel << 16;
}

VolumeControls::Line VolumeDialog::Get(VolumeLine line) const {
  const LineState& state = At(line);
  return Line{state.position, state.muted, state.readable && !state.muted, state.readable};
}

void VolumeDialog::MoveSlider(VolumeLine line, int position) {
  if (!Get(line).sliderEnabled) return;
  LineState& state = At(line);
  state.position = std::clamp(position, 0, kMaxPosition);
  // Both channels alike, whatever balance the line had.
  state.holder = VolumeOf(state.position);
  audio_.SetVolume(line, state.holder);
}

void VolumeDialog::SetMuted(VolumeLine line, bool muted) {
  LineState& state = At(line);
  // Ticking a box that is ticked already is no click.
  if (!Get(line).muteEnabled || state.muted == muted) return;
  state.muted = muted;
  audio_.SetVolume(line, muted ? 0 : state.holder);
}

}  // namespace orv
