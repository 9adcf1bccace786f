#pragma once
// The desktop's own folder chooser through the file chooser portal
// (org.freedesktop.portal.FileChooser.OpenFile with `directory`), over D-Bus with GLib's GDBus.
// Unavailable when there is no session bus or nothing on it answers for the portal.
#include <string>

#include "platform/folder_chooser.h"

struct SDL_Window;

namespace orv {

// The portal's name for an SDL window: "x11:XID" under X11, empty where the portal has no
// name for it (under Wayland it wants an exported handle).
std::string PortalWindowName(SDL_Window* window);

class PortalFolderChooser final : public FolderChooser {
 public:
  // `parentWindow`: the window the dialog belongs to, as the portal names windows ("x11:1a00007"),
  // or empty. `busAddress`: a D-Bus address to use instead of the session bus (a test's own bus).
  explicit PortalFolderChooser(std::string parentWindow = {}, std::string busAddress = {})
      : parentWindow_(std::move(parentWindow)), busAddress_(std::move(busAddress)) {}
  FolderChoice ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) override;

 private:
  std::string parentWindow_;
  std::string busAddress_;
  unsigned requests_ = 0;
};

}  // namespace orv
