#pragma once
// Whether a text is an address the player may hand to the desktop's opener: http or https,
// something after the scheme, and no blank or control byte that a command line or a terminal
// could take for something else.
#include <string_view>

namespace orv {

bool IsWebAddress(std::string_view target);

}  // namespace orv
