// A page cannot listen for connections: in the browser the reading tools' WebSocket server is
// refused with a reason, and the game plays on without it.
#include "platform/net/text_socket.h"

namespace orv {

Result<std::unique_ptr<TextSocketServer>> TextSocketServer::Start(uint16_t) {
  return Error{ErrorKind::Unsupported, "a page in a browser cannot serve a WebSocket for reading tools"};
}

TextSocketServer::~TextSocketServer() = default;

void TextSocketServer::Send(std::string_view) {}

int TextSocketServer::OnEvent(lws*, int, void*, size_t) { return 0; }

}  // namespace orv
