#include "platform/ui/volume_box.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

// Controls that keep their state and record what reached them.
struct RecordingControls : VolumeControls {
  std::array<Line, 3> lines{};
  std::vector<std::string> log;
  Line Get(VolumeLine line) const override { return lines[size_t(line)]; }
  void MoveSlider(VolumeLine line, int position) override {
    Line& l = lines[size_t(line)];
    if (!l.sliderEnabled) return;
    l.position = position;
    log.push_back("slider " + std::to_string(int(line)) + " " + std::to_string(position));
  }
  void SetMuted(VolumeLine line, bool muted) override {
    Line& l = lines[size_t(line)];
    l.muted = muted;
    l.sliderEnabled = !muted;
    log.push_back("mute " + std::to_string(int(line)) + (muted ? " on" : " off"));
  }
};

class VolumeBoxTest : public ::testing::Test {
 protected:
  FontRenderer fonts;
  RecordingControls controls;
};

int CentreX(Rect r) { return (r.left + r.right) / 2; }
int CentreY(Rect r) { return (r.top + r.bottom) / 2; }

TEST_F(VolumeBoxTest, TheMouseDragsSlidersTicksMuteBoxesAndClosesByTheMenu) {
  for (int scale : {1, 3}) {
    controls = RecordingControls{};
    VolumeBox box(fonts, controls);
    box.Place(Rect{0, 20, 640 * scale, 20 + 480 * scale}, scale);
    const Panel panel = box.Render();
    EXPECT_EQ(panel.where, box.where());
    EXPECT_EQ(panel.pixels.width(), 266 * scale);
    // Louder is higher; a press on the track takes the thumb there, a drag follows.
    const Rect midi = box.SliderRect(VolumeLine::Midi);
    EXPECT_LT(box.SliderY(10), box.SliderY(0));
    box.MouseDown(CentreX(midi), box.SliderY(8) + 2 * scale);
    box.MouseMove(CentreX(midi) + 100, box.SliderY(3) - 3 * scale);  // off to the side: still dragging
    box.MouseMove(CentreX(midi), box.SliderY(3));                    // same place: nothing new
    box.MouseMove(CentreX(midi), box.SliderY(0) + 200);
    box.MouseUp(0, 0);
    box.MouseMove(CentreX(midi), box.SliderY(9));  // released: no more dragging
    const Rect cd = box.MuteRect(VolumeLine::Cd);
    box.MouseDown(CentreX(cd), CentreY(cd));
    box.MouseUp(CentreX(cd) + 500, CentreY(cd));  // let go elsewhere: not a click
    box.MouseDown(cd.right - 2, CentreY(cd));      // the label counts as the box
    box.MouseUp(cd.right - 2, CentreY(cd));
    const Rect cdSlider = box.SliderRect(VolumeLine::Cd);
    box.MouseDown(CentreX(cdSlider), box.SliderY(9));  // muted: the slider is disabled
    box.MouseUp(CentreX(cdSlider), box.SliderY(9));
    EXPECT_EQ(controls.log, (std::vector<std::string>{"slider 1 8", "slider 1 3", "slider 1 0", "mute 2 on"}));
    EXPECT_FALSE(box.Done());
    const Rect exit = box.ExitMenuRect();
    box.MouseDown(CentreX(exit), CentreY(exit));
    box.MouseUp(CentreX(exit), CentreY(exit));
    EXPECT_TRUE(box.Done());
  }
}

TEST_F(VolumeBoxTest, TheKeyboardMovesTheFocusedControlAndSkipsDisabledOnes) {
  controls.lines[0].sliderEnabled = controls.lines[0].muteEnabled = false;  // no wave volume
  controls.lines[1].position = 9;
  VolumeBox box(fonts, controls);
  box.Key(VolumeKey::Up);  // the focus starts on the MIDI slider
  box.Key(VolumeKey::Up);  // already at the top
  box.Key(VolumeKey::PageDown);
  box.Key(VolumeKey::Tab);
  box.Key(VolumeKey::Space);  // MIDI muted: its slider gives up the focus
  box.Key(VolumeKey::BackTab);
  box.Key(VolumeKey::BackTab);  // past the disabled wave line, round to the CD line
  box.Key(VolumeKey::End);
  box.Key(VolumeKey::Left);
  box.Key(VolumeKey::Home);
  EXPECT_EQ(controls.log,
            (std::vector<std::string>{"slider 1 10", "slider 1 8", "mute 1 on", "slider 2 0", "slider 2 10"}));
  box.Place(Rect{0, 0, 640, 480}, 1);
  EXPECT_FALSE(box.Render().pixels.empty());
  box.Key(VolumeKey::Escape);
  EXPECT_TRUE(box.Done());
}

}  // namespace
}  // namespace orv
