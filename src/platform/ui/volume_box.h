#pragma once
// The volume dialog the backend draws inside its window, in the look of its message boxes:
// the caption "音量設定", a menu row with "終了", and three columns (WAVE, MIDI, CD-DA), each
// with a vertical slider from 0 (bottom) to 10 (top) with tick marks on both sides and a mute
// box. Like the other widgets it knows nothing of SDL: the host feeds it input in window
// pixels and shows its Panel. Every move goes to the VolumeControls at once.
//
// Keys: Tab and Shift+Tab move between the enabled controls; Up/Right and Down/Left move the
// focused slider by one, Page Up/Down by two, Home/End to the top/bottom; Space ticks the
// focused mute box; Enter and Escape close, as the "終了" menu does.
#include <array>
#include <optional>

#include "platform/ui/ui_draw.h"
#include "platform/volume_controls.h"

namespace orv {

enum class VolumeKey { Up, Down, Left, Right, PageUp, PageDown, Home, End, Tab, BackTab, Space, Enter, Escape, Other };

class VolumeBox {
 public:
  VolumeBox(FontRenderer& fonts, VolumeControls& controls);

  // Centres the box in `area` (window pixels) at the widget scale.
  void Place(Rect area, int scale);
  Rect where() const { return where_; }

  void MouseMove(int x, int y);
  void MouseDown(int x, int y);
  void MouseUp(int x, int y);
  void Key(VolumeKey key);

  bool Done() const { return done_; }
  Panel Render() const;

  // The parts of the box in window pixels, for the host's tests.
  Rect ExitMenuRect() const;
  Rect SliderRect(VolumeLine line) const;  // the track with its thumb's reach
  Rect MuteRect(VolumeLine line) const;    // the box and its label
  int SliderY(int position) const;         // window row of the thumb's centre

 private:
  // Focus order: the slider, then the mute box, of each line in turn.
  static constexpr int kControls = 6;
  static VolumeLine LineOf(int control) { return VolumeLine(control / 2); }
  static bool IsSlider(int control) { return control % 2 == 0; }
  bool Enabled(int control) const;
  void MoveFocus(int step);
  void Slide(VolumeLine line, int position);
  int PositionAt(int y) const;
  Rect Relative(Rect r) const;
  int ColumnLeft(int column) const;  // relative to the box

  FontRenderer& fonts_;
  VolumeControls& controls_;
  int scale_ = 1;
  Rect where_;
  int focus_ = 0;
  std::optional<VolumeLine> dragging_;
  std::optional<VolumeLine> pressedMute_;
  bool pressedExit_ = false;
  bool hoverExit_ = false;
  bool done_ = false;
};

}  // namespace orv
