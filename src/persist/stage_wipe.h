#pragma once
// The wipe that loading a slot and returning to the title play: the screen fills from the top
// in 15-pixel bands that grow from their upper edge, in 32 rounds, each shown as it ends.
#include <functional>

#include "platform/image.h"

namespace orv {

void StageWipe(Image& screen, const Image& source, const std::function<void()>& repaint);

}  // namespace orv
