#include "platform/web/page_text.h"

#include <string>

#include "platform/web/page_bridge.h"

namespace orv {

void PageText::Send(std::string_view utf8) { orvane_web_game_text(std::string(utf8).c_str()); }

}  // namespace orv
