#pragma once
// The screen shown when the player starts without a game: the games played lately, a button
// that opens a game folder, and a line saying why the last folder could not be opened. It is
// drawn at the stage's size into a software image, so every backend scales and shows it as it
// shows a game. Pure layout and drawing: what a choice does is the caller's.
#include <string>
#include <vector>

#include "platform/ui/ui_draw.h"

namespace orv {

struct StartEntry {
  std::string caption;  // UTF-8
  std::string folder;   // UTF-8
};

// What is under a point or has the keyboard's focus: a recent game (by index) or the button.
struct StartItem {
  enum class Kind { None, Recent, OpenFolder };
  Kind kind = Kind::None;
  int index = -1;
  friend bool operator==(const StartItem&, const StartItem&) = default;
};

class StartScreenView {
 public:
  static constexpr int kWidth = 640, kHeight = 480;
  static constexpr int kMaxShown = 7;
  static constexpr const char* kOpenFolderText = "Open a game folder…";

  // Focus goes to the first game, or to the button when there is none.
  void SetEntries(std::vector<StartEntry> entries);
  const std::vector<StartEntry>& entries() const { return entries_; }
  void SetProblem(std::string utf8Text) { problem_ = std::move(utf8Text); }
  const std::string& problem() const { return problem_; }

  StartItem ItemAt(int x, int y) const;
  // The pointer's item takes the focus; off every item, the focus stays.
  void PointAt(int x, int y);
  // Up and down through the games and the button, stopping at either end.
  void MoveFocus(int step);
  StartItem Focused() const;

  Rect EntryRect(int index) const;
  Rect ButtonRect() const;

  Image Render(FontRenderer& fonts) const;

 private:
  int ItemCount() const;  // shown games and the button
  std::vector<StartEntry> entries_;
  std::string problem_;
  int focus_ = 0;  // 0 .. shown games - 1: a game; shown games: the button
};

}  // namespace orv
