#pragma once
// Transition effects: how a changed stage is carried onto the window. Each effect copies
// parts of a target picture onto the window surface, shows the window and pauses `speed`
// milliseconds after every step; holding the left button cuts most of them short. The
// caller shows the finished stage afterwards, however the effect ended.
//
//   no.  picture                                   steps at 640 x 480   held button
//   1,2  vertical blinds, 10-pixel stripes          10 passes            shortens each pass
//   3,4  horizontal blinds                          10 passes            shortens each pass
//   5    interlaced columns from both sides         320                  stops
//   6    interlaced rows from top and bottom        240                  stops
//   7    staggered bands opening downward           32                   stops
//   8    staggered bands opening rightward          43 passes            shortens each pass
//   9    cross-fade                                 16                   stops
//   10   dissolve, 2 x 2 cells                      4                    stops
//   11   wipe left to right, 2-pixel strips         320                  stops
//   12   wipe right to left                         320                  stops
//   13   wipe top to bottom                         480                  stops
//   14   wipe bottom to top                         480                  stops
//   15   dissolve, 4 x 4 cells, pixel by pixel      16                   stops
//   16   dissolve, 4 x 4 cells, 2 x 2 blocks        4                    stops
#include <cstdint>

#include "platform/image.h"

namespace orv {

// What an effect draws on: the window's surface, shown after every step, a pause, and the
// state of the left button.
class EffectCanvas {
 public:
  virtual ~EffectCanvas() = default;
  virtual Image& Surface() = 0;
  virtual void Present() = 0;
  // Negative pauses wait nothing.
  virtual void Wait(int32_t ms) = 0;
  virtual bool ButtonHeld() = 0;
};

// The effect over the whole window towards `stage` (the composed stage); 0 and numbers
// without an effect do nothing.
void RunTransition(EffectCanvas& canvas, int effect, int speed, const Image& stage);

// The effect over `area` of the window towards `target` (a 640 x 480 picture).
void RunEffect(EffectCanvas& canvas, int effect, Rect area, int speed, const Image& target);

}  // namespace orv
