#pragma once
// How the player is interacting: what clicks, keys and the pointer do now.
#include <cstdint>

namespace orv {

enum InteractionState : int32_t { kHidden = 0, kShown = 1, kHistory = 2 };

struct InputState {
  int32_t interactionState = kShown;
  int pointerX = 0, pointerY = 0;
};

}  // namespace orv
