#pragma once
// The game's text handed to other programs as it appears: a reader's dictionary page over a
// local WebSocket, the clipboard, a log. Each text is one completed line of message text, one
// choice caption or the text of one box, in UTF-8. Sending never waits for the receiver.
#include <string_view>

namespace orv {

class TextOut {
 public:
  virtual ~TextOut() = default;
  virtual void Send(std::string_view utf8) = 0;
};

}  // namespace orv
