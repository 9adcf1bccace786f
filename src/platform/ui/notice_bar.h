#pragma once
// Notes the player lays over the stage without stopping the game: a bar across the top in the
// message boxes' colours (the script has been busy for a while, the music cannot play), and a
// small tag in the corner while skip mode runs. Pure drawing, like the other widgets.
#include <string_view>

#include "platform/ui/ui_draw.h"

namespace orv {

// A bar as wide as `area` along its top edge, holding the UTF-8 text (lines split at '\n',
// each cut to fit). Empty text gives an empty panel.
Panel DrawNoticeBar(FontRenderer& fonts, std::string_view utf8Text, Rect area, int scale);

// The skip tag at the top-right corner of `area`.
Panel DrawSkipTag(FontRenderer& fonts, Rect area, int scale);

}  // namespace orv
