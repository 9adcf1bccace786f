#pragma once
// The desktop's own folder chooser through the file chooser portal
// (org.freedesktop.portal.FileChooser.OpenFile with `directory`), over D-Bus with GLib's GDBus.
// Unavailable when there is no session bus or nothing on it answers for the portal.
#include <string>

#include "platform/folder_chooser.h"

namespace orv {

class PortalFolderChooser final : public FolderChooser {
 public:
  // `busAddress`: a D-Bus address to use instead of the session bus (a test's own bus).
  explicit PortalFolderChooser(std::string busAddress = {}) : busAddress_(std::move(busAddress)) {}
  FolderChoice ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) override;

 private:
  std::string busAddress_;
  unsigned requests_ = 0;
};

}  // namespace orv
