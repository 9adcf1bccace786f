// The browser build has no libcue: disc images' cue sheets are refused with a reason, and a
// game's ripped track files (found without any sheet) still play.
#include "platform/audio/cue_sheet.h"

namespace orv {

Result<CueSheet> ParseCueSheet(std::string_view) {
  return Error{ErrorKind::Unsupported,
               "cue sheets are not read in the browser build; ripped track files (track02.ogg, ...) play"};
}

}  // namespace orv
