#pragma once
// The player started without a game: the start screen in the window until the person picks a
// game, by the list of recent games, the desktop's folder chooser, or a typed path when the
// desktop has no chooser. A folder that is no game is said so on the screen and the screen
// stays. The backend runs it as it runs a game, through the same events.
#include <filesystem>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/recent_games.h"
#include "platform/folder_chooser.h"
#include "platform/game_events.h"
#include "platform/host.h"
#include "platform/text/font_renderer.h"
#include "platform/ui/start_screen_view.h"

namespace orv {

class StartScreen final : public GameEvents {
 public:
  // `keepAlive` runs while the chooser is open (see FolderChooser).
  StartScreen(Host& host, FontRenderer& fonts, FolderChooser& chooser, std::vector<RecentGame> recent,
              FolderChooser::KeepAlive keepAlive = {});

  void Shown() override;
  void Click() override;
  void MouseDown(MouseButton button, int x, int y) override;
  void MouseMove(int x, int y) override;
  void KeyDown(KeyPress key) override;
  void Wheel(WheelDirection) override {}
  void MenuClick(std::string_view) override {}
  void CloseRequested() override { closed_ = true; }
  bool NextTimerDue(uint32_t&) override { return false; }
  void FireDueTimers(uint32_t) override {}
  bool Closed() const override { return closed_ || chosen_.has_value(); }

  // The game folder picked, once one was.
  const std::optional<std::filesystem::path>& chosen() const { return chosen_; }
  // What the screen shows, for state dumps: `{recent: [{caption, folder}], focus, problem}`,
  // focus being the game's index or "open".
  nlohmann::json Dump() const;
  // Why no chooser could be shown the last time one was asked for (then the path field asked).
  const std::string& chooserProblem() const { return chooserProblem_; }
  // The screen as drawn last.
  const Image& surface() const { return surface_; }

 private:
  void Activate(StartItem item);
  void OpenWithChooser();
  void AskForPath();
  void TryFolder(const std::filesystem::path& given);
  void Refresh();

  Host& host_;
  FontRenderer& fonts_;
  FolderChooser& chooser_;
  FolderChooser::KeepAlive keepAlive_;
  StartScreenView view_;
  Image surface_;
  StartItem pressed_;  // what the left button went down on
  int pointerX_ = -1, pointerY_ = -1;
  std::optional<std::filesystem::path> chosen_;
  std::string chooserProblem_;
  bool closed_ = false;
};

// The game's window starts on top of the others, as the kit's did; a folder chooser it covered
// could not be used, so the window steps back while one is up.
class ChooserInFront final : public FolderChooser {
 public:
  ChooserInFront(FolderChooser& chooser, Host& host, bool windowOnTop)
      : chooser_(chooser), host_(host), onTop_(windowOnTop) {}
  FolderChoice ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) override;

 private:
  FolderChooser& chooser_;
  Host& host_;
  bool onTop_;
};

// Whether a run without a game folder named shows the start screen: yes unless the current
// folder is itself a game, which is played as before.
bool StartsOnStartScreen(bool gameFolderGiven);

}  // namespace orv
