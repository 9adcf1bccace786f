#pragma once
// Changes one value of a TOML text where it stands, so that a file written by hand keeps its
// comments, order and spacing through a run that changes a setting.
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// `text` with `section.key` set to `valueText` (a TOML value as written, e.g. `[1, 2]`): the old
// value replaced in place, else the key added after the last key of its section, else the
// section added at the end. Nothing when the text is no TOML or its layout cannot take the
// change in place (the section is an inline table or made by dotted keys, or is no table).
std::optional<std::string> SetTomlValue(std::string_view text, std::string_view section, std::string_view key,
                                        std::string_view valueText);

}  // namespace orv
