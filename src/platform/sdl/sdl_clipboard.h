#pragma once
// The game's text onto the desktop's clipboard, a line at a time, for reading tools that
// watch the clipboard instead of a socket.
#include "platform/text_out.h"

namespace orv {

class SdlClipboard final : public TextOut {
 public:
  void Send(std::string_view utf8) override;
};

}  // namespace orv
