#include "app/text_socket_switch.h"

namespace orv {

Result<void> TextSocketSwitch::SetOn(bool on) {
  if (on == this->on()) return {};
  if (!on) {
    server_.reset();
    return {};
  }
  Result<std::unique_ptr<TextSocketServer>> started = TextSocketServer::Start(port_);
  if (!started) return started.error();
  server_ = std::move(*started);
  return {};
}

}  // namespace orv
