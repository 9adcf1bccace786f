#pragma once
// The player's own section of the menu bar, after the game's items: the scaling modes and full
// screen. Building it and reading a chosen item back are kept together so that every item the
// section offers is one the player understands.
#include <optional>
#include <string_view>

#include "platform/menu.h"
#include "platform/sdl/window_layout.h"

namespace orv {

// The player's component names start with this prefix, which no game item has.
inline constexpr std::string_view kPlayerMenuPrefix = "orvane.";

MenuItem PlayerMenu(Scaling scaling, bool fullScreen);

struct PlayerMenuChoice {
  std::optional<Scaling> scaling;  // a scaling mode was chosen
  bool toggleFullScreen = false;
};

// What a chosen item of the player's section asks; nothing for the game's own items (which go
// to the game), an empty choice for the player's items that ask nothing (the section's title).
std::optional<PlayerMenuChoice> ReadPlayerMenuChoice(std::string_view name);

}  // namespace orv
