#include "app/text_socket_control.h"

namespace orv {

void TextSocketControl::Set(bool on, uint16_t port) {
  if (!on || port != switch_.port()) (void)switch_.SetOn(false);
  switch_.SetPort(port);
  if (Result<void> switched = switch_.SetOn(on); !switched)
    diagnostics_.Note("the text socket: " + switched.error().message);
  menus_.SetChecked("TextSocket", switch_.on());
}

void TextSocketControl::Toggle() {
  Set(!switch_.on(), switch_.port());
  chosen_ = switch_.on();
}

}  // namespace orv
