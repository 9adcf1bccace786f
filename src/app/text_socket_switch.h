#pragma once
// The reading tools' WebSocket (platform/net/text_socket.h) as the player turns it on and off:
// from the command line, the player's menu and its settings. Off, it sends nothing and holds
// no port.
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/net/text_socket.h"
#include "platform/result.h"
#include "platform/text_out.h"

namespace orv {

class TextSocketSwitch final : public TextOut {
 public:
  bool on() const { return server_ != nullptr; }
  uint16_t port() const { return port_; }
  // Takes effect at the next start.
  void SetPort(uint16_t port) { port_ = port; }
  // Starting fails when the port is taken (the reason says so); the switch stays off then.
  Result<void> SetOn(bool on);

  void Send(std::string_view utf8) override {
    if (server_) server_->Send(utf8);
  }

 private:
  uint16_t port_ = kDefaultTextSocketPort;
  std::unique_ptr<TextSocketServer> server_;
};

}  // namespace orv
