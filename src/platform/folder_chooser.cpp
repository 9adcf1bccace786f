#include "platform/folder_chooser.h"

namespace orv {

FolderChoice FirstAvailableChooser::ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) {
  FolderChoice none;
  for (const std::unique_ptr<FolderChooser>& chooser : choosers_) {
    FolderChoice choice = chooser->ChooseFolder(utf8Title, keepAlive);
    if (choice.outcome != FolderChoice::Outcome::Unavailable) return choice;
    if (!none.why.empty() && !choice.why.empty()) none.why += "; ";
    none.why += choice.why;
  }
  return none;
}

}  // namespace orv
