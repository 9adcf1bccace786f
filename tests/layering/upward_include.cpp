// Planted by the layering tests: a source that reaches into app/. Built as part of graphics it
// must not find the header; built as part of app it compiles, so the header is really there.
#include "app/player.h"

namespace orv {

bool PlantedUpwardInclude(const Player* player) { return player != nullptr; }

}  // namespace orv
