#pragma once
// The folder chooser of a headless run: its answer is the next event line when that is
// `folder DIR` or `folder-cancel`, as the other dialogs take theirs. Without one there is no
// chooser, as on a desktop that has none.
#include "platform/folder_chooser.h"
#include "platform/headless/event_script.h"

namespace orv {

class EventFolderChooser final : public FolderChooser {
 public:
  explicit EventFolderChooser(EventScript* events) : events_(events) {}
  FolderChoice ChooseFolder(std::string_view, const KeepAlive&) override {
    const EventLine* next = events_ ? events_->Peek() : nullptr;
    if (!next || (next->verb != "folder" && next->verb != "folder-cancel"))
      return FolderChoice{FolderChoice::Outcome::Unavailable, {}, "no folder line follows"};
    FolderChoice choice{FolderChoice::Outcome::Cancelled, {}, {}};
    if (next->verb == "folder" && !next->rest.empty()) choice = {FolderChoice::Outcome::Chosen, next->rest, {}};
    events_->Next();
    return choice;
  }

 private:
  EventScript* events_;
};

}  // namespace orv
