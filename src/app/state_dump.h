#pragma once
// The observable state of a running game as JSON, for tests and automation.
#include <nlohmann/json.hpp>

namespace orv {

class Player;
nlohmann::json DumpState(const Player& player);

// The one reader of the player's parts as a whole; the player names it as its friend.
class StateDump {
 public:
  static nlohmann::json Of(const Player& player);
};

}  // namespace orv
