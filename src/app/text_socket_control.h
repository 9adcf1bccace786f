#pragma once
// The reading tools' socket as the player offers it: the command line and the settings turn it
// on at a port, the menu item TextSocket toggles it, and only the menu's toggle counts as the
// player's own choice, which the settings keep for the next run. A port that is taken is noted
// for whoever runs the player; the socket stays off then and the game goes on.
#include <cstdint>
#include <optional>

#include "app/menus.h"
#include "app/text_socket_switch.h"
#include "platform/diagnostics.h"
#include "platform/text_out.h"

namespace orv {

class TextSocketControl {
 public:
  TextSocketControl(Menus& menus, Diagnostics& diagnostics) : menus_(menus), diagnostics_(diagnostics) {}

  // Where the game's text goes while the socket is on.
  TextOut& out() { return switch_; }
  // On or off at `port`; a socket already on at another port starts again there.
  void Set(bool on, uint16_t port);
  // The menu's toggle, at the port last set.
  void Toggle();
  bool on() const { return switch_.on(); }
  uint16_t port() const { return switch_.port(); }
  // On or off as the player last set it from the menu; nothing when they never did (what the
  // command line or the settings asked for is not a choice to keep).
  std::optional<bool> chosen() const { return chosen_; }

 private:
  TextSocketSwitch switch_;
  Menus& menus_;
  Diagnostics& diagnostics_;
  std::optional<bool> chosen_;
};

}  // namespace orv
