#pragma once
// Asking the person at the desktop for a folder: the desktop's own chooser where there is one.
// A chooser that is not there says so, and the next one is asked.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct FolderChoice {
  enum class Outcome { Chosen, Cancelled, Unavailable };
  Outcome outcome = Outcome::Unavailable;
  std::filesystem::path folder;  // when Chosen
  std::string why;               // when Unavailable: what was missing, for the verbose log
};

class FolderChooser {
 public:
  virtual ~FolderChooser() = default;
  // Blocks until the person has chosen or given up; `keepAlive` runs every few tens of
  // milliseconds meanwhile, so that the window behind stays drawn, and says false when the
  // window is closing: the chooser then goes away and the choice is Cancelled. `utf8Title` is
  // the chooser's title.
  using KeepAlive = std::function<bool()>;
  virtual FolderChoice ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) = 0;
};

// Asks each chooser in turn until one is there; Unavailable (with every reason) when none is.
class FirstAvailableChooser final : public FolderChooser {
 public:
  explicit FirstAvailableChooser(std::vector<std::unique_ptr<FolderChooser>> choosers)
      : choosers_(std::move(choosers)) {}
  FolderChoice ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) override;

 private:
  std::vector<std::unique_ptr<FolderChooser>> choosers_;
};

// `zenity --file-selection --directory`, without a shell. Unavailable when the program is not
// installed or cannot open its window (it ends with neither a folder nor a cancel).
class ZenityFolderChooser final : public FolderChooser {
 public:
  explicit ZenityFolderChooser(std::string program = "zenity") : program_(std::move(program)) {}
  FolderChoice ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) override;

 private:
  std::string program_;
};

}  // namespace orv
