// The browser has no font catalogue: the page puts the substitute fonts into the folders the
// renderer already searches, and every other face name falls back to them.
#include "platform/text/font_lookup.h"

namespace orv {

bool StartSystemFontLookup() { return false; }

std::optional<FontFile> LookUpSystemFont(const std::string&, bool, bool) { return std::nullopt; }

}  // namespace orv
