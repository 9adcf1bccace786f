#pragma once
// The observable state of a running game as JSON, for tests and automation.
#include <nlohmann/json.hpp>

namespace orv {

class Player;
nlohmann::json DumpState(const Player& player);

}  // namespace orv
